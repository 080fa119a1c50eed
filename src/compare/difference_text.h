#pragma once
// A difference as text, for korvex-cli and the window's "Copy": one line
// PATH<TAB>LABEL<TAB>VALUE_A<TAB>VALUE_B in UTF-8. LABEL is the grid row label
// without trailing blanks; an item on one side only has "-" as its label and
// "present" or "absent" as its values. Labels and values have their control
// characters escaped as item texts are (escapedItemText), so a value holding a
// tab or a line break cannot break the line.
#include <string>

#include "compare/project_compare.h"

namespace korvex {

// The columns of a difference, UTF-8, unescaped (for a table on screen).
struct DifferenceColumns {
    std::string item;
    std::string parameter;
    std::string valueA;
    std::string valueB;
};
DifferenceColumns differenceColumns(const Difference& d);

std::string differenceLine(const Difference& d);
// "same" or "differ", then one line per difference; every line ends in "\n".
std::string comparisonText(const CompareResult& result);

}  // namespace korvex
