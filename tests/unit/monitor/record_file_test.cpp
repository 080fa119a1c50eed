// The monitors' text files: the record grows report by report with its bytes
// as given, and only a regular file is ever replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "monitor/record_file.h"

namespace korvex::monitor {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RecordFileTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("korvex_record_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(RecordFileTest, ReplacesTheFileAndKeepsEveryAppendOnDisk) {
    const fs::path path = dir / "record.txt";
    std::ofstream(path) << "old content that must go";
    RecordFile file;
    ASSERT_FALSE(file.open(path.string()));
    ASSERT_TRUE(file.append("Status\t\tRespond correctly\n"));
    EXPECT_EQ(contents(path), "Status\t\tRespond correctly\n") << "flushed at once";
    ASSERT_TRUE(file.append("line two\r\n"));
    file.close();
    EXPECT_EQ(contents(path), "Status\t\tRespond correctly\nline two\r\n");
    EXPECT_FALSE(file.append("after close"));
}

TEST_F(RecordFileTest, RefusesFoldersAndDevices) {
    RecordFile file;
    const auto folder = file.open(dir.string());
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->id.key, "FileIsFolder");
    const auto device = file.open("/dev/null");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->id.key, "FileNotRegular");
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(file.open(""));
}

TEST_F(RecordFileTest, SavedFileIsWrittenWholeWithItsLineEnds) {
    const fs::path path = dir / "saved.txt";
    ASSERT_FALSE(writeSavedFile(path.string(), "1\tModbus->PROFIBUS\t0A \r\n"));
    EXPECT_EQ(contents(path), "1\tModbus->PROFIBUS\t0A \r\n");
}

}  // namespace
}  // namespace korvex::monitor
