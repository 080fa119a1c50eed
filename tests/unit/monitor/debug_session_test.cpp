// The debug monitor window's model: index, newest row on top, the display
// switch, the read-data box, clearing and the saved file.
#include <gtest/gtest.h>

#include "hex_bytes.h"
#include "monitor/debug_session.h"
#include "serial/gateway_frame.h"

namespace korvex::monitor {
namespace {

using korvex::testing::hexBytes;

DebugReport report(DebugLayout layout, const char* hex) {
    Bytes b = hexBytes(hex);
    b.push_back(serial::additiveChecksum(b));
    return readDebugReport(layout, b);
}

DebugReport master(const char* status, const char* data) {
    return report(DebugLayout::Master,
                  (std::string("d3 08 ") + status + " 05 03 00 10 00 " + data).c_str());
}

TEST(DebugSession, NewestRowOnTopAndIndexCountsHiddenReports) {
    DebugSession s(DebugLayout::Master);
    s.show(master("00", "12 34"));
    EXPECT_FALSE(s.show(master("ff", "00 00")).insertRow);
    const auto third = s.show(master("02", "ab cd"));
    EXPECT_EQ(third.cells.front(), "3");
    ASSERT_EQ(s.rows().size(), 2u);
    EXPECT_EQ(s.rows().front().front(), "3");
    EXPECT_EQ(s.rows().back().front(), "1");
    EXPECT_EQ(s.readDataText(), " AB CD");
}

TEST(DebugSession, StoppedDisplayNeitherShowsNorCounts) {
    DebugSession s(DebugLayout::UserConfig);
    s.toggleDisplay();
    EXPECT_EQ(s.displayButtonText().str(), "Continue to Display");
    EXPECT_FALSE(s.show(report(DebugLayout::UserConfig, "d3 02 00 01")).insertRow);
    EXPECT_EQ(s.reportIndex(), 0);
    s.toggleDisplay();
    EXPECT_EQ(s.displayButtonText().str(), "Stop Displaying");
    EXPECT_EQ(s.show(report(DebugLayout::UserConfig, "d3 02 00 01")).cells.front(), "1");
}

TEST(DebugSession, SlaveReportWithoutMarkerIsRepliedOnlyWhenNotDisplaying) {
    const DebugReport noMarker = report(DebugLayout::Slave, "d3 05 00 01");
    const DebugReport marked = report(DebugLayout::Slave, "d3 f5 00 01");
    EXPECT_FALSE(debugReportGetsReply(noMarker, true));
    EXPECT_TRUE(debugReportGetsReply(noMarker, false));
    EXPECT_TRUE(debugReportGetsReply(marked, true));
    // The same byte in the other layouts is a count, and every report is answered.
    EXPECT_TRUE(debugReportGetsReply(report(DebugLayout::UserConfig, "d3 02 00 01"), true));
    DebugSession s(DebugLayout::Slave);
    EXPECT_FALSE(s.show(noMarker).insertRow);
    EXPECT_EQ(s.reportIndex(), 0);
}

TEST(DebugSession, ClickCopiesTheDataColumnAndClearEmptiesAll) {
    DebugSession s(DebugLayout::Slave);
    s.show(report(DebugLayout::Slave, "d3 f5 00 0a"));
    s.show(report(DebugLayout::Slave, "d3 f5 01 0b 0c"));
    EXPECT_EQ(s.readDataText(), "0B 0C ");
    EXPECT_TRUE(s.clickRow(1));
    EXPECT_EQ(s.readDataText(), "0A ");
    EXPECT_FALSE(s.clickRow(2));
    s.clear();
    EXPECT_EQ(s.reportIndex(), 0);
    EXPECT_TRUE(s.rows().empty());
    EXPECT_TRUE(s.readDataText().empty());
    EXPECT_EQ(s.show(report(DebugLayout::Slave, "d3 f5 00 0a")).cells.front(), "1");
}

TEST(DebugSavedFile, MasterHeaderAndTwoRowsNewestFirst) {
    DebugSession s(DebugLayout::Master);
    s.show(master("00", "12 34"));
    s.show(master("01", "00 02"));
    EXPECT_EQ(s.savedFileText(),
              "Index     Status       Slave Address        Function Code   Starting Address       "
              "Data/Exception Code\r\n"
              "2\tRespond abnormally \t5\t\t3\t16\t\t 00 02\r\n"
              "1\tRespond correctly\t5\t\t3\t16\t\t 12 34\r\n");
}

TEST(DebugSavedFile, SlaveAndUserConfigHaveNoHeader) {
    DebugSession slave(DebugLayout::Slave);
    slave.show(report(DebugLayout::Slave, "d3 f5 00 0a"));
    EXPECT_EQ(slave.savedFileText(), "1\tModbus->PROFIBUS\t0A \r\n");
    DebugSession user(DebugLayout::UserConfig);
    user.show(report(DebugLayout::UserConfig, "d3 02 01 0a"));
    user.show(report(DebugLayout::UserConfig, "d3 02 00 0b"));
    EXPECT_EQ(user.savedFileText(), "2\tSerial port->PROFIBUS\t0B \r\n1\tPROFIBUS->Serial port\t0A \r\n");
    EXPECT_EQ(DebugSession(DebugLayout::Slave).savedFileText(), "");
}

TEST(DebugColumns, LayoutsAndWidths) {
    std::vector<std::string> masterTitles;
    for (const auto& c : debugColumns(DebugLayout::Master)) masterTitles.push_back(c.title.str());
    EXPECT_EQ(masterTitles, (std::vector<std::string>{"Index", "Status", "Slave Address", "Function Code",
                                                      "Starting Address", "Data/Exception Code"}));
    const auto slave = debugColumns(DebugLayout::Slave);
    ASSERT_EQ(slave.size(), 3u);
    EXPECT_EQ(slave[2].title.str(), "Data");
    EXPECT_DOUBLE_EQ(slave[0].twelfths + slave[1].twelfths + slave[2].twelfths, 12.0);
}

}  // namespace
}  // namespace korvex::monitor
