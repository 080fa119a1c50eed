# Adds every immediate subfolder of DIR that has a CMakeLists.txt, so each area
# (model, editor, mapping, export, ...) owns its own build file.
function(korvex_add_area_subdirectories dir)
  file(GLOB children LIST_DIRECTORIES true "${dir}/*")
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# korvex_add_unit_test(NAME LIB sources...): one GoogleTest executable over the
# area library LIB (korvex_model, korvex_editor, ...),
# registered with CTest under the label "unit". A parameterized case is named by
# its case name alone (each case table has a name generator and a PrintTo).
function(korvex_add_unit_test name lib)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE ${lib} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE
    KORVEX_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures"
    KORVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES PROPERTIES LABELS unit)
endfunction()
