// The Monitor/Modify window's model: rows, the 151-row list, pausing, and the
// record written while saving.
#include <gtest/gtest.h>

#include "hex_bytes.h"
#include "monitor/monitor_session.h"

namespace korvex::monitor {
namespace {

using korvex::testing::hexBytes;

SerialMonitorReport serial(const char* hex) { return *readSerialReport(hexBytes(hex)); }

TEST(MonitorSession, ReportsFillRowsInArrivalOrder) {
    MonitorSession s(MonitorMode::Serial);
    const auto first = s.show(serial("00 05 00 10 02 12 34"));
    const auto second = s.show(serial("03 05 00 10 00"));
    EXPECT_TRUE(first.insertRow);
    EXPECT_EQ(first.row, 0);
    EXPECT_EQ(second.row, 1);
    EXPECT_FALSE(first.clearList);
    EXPECT_EQ(s.rowCounter(), 2);
}

TEST(MonitorSession, HiddenReportChangesNothing) {
    MonitorSession s(MonitorMode::Serial);
    s.setSaving(true);
    const auto update = s.show(serial("ff 05 00 10 01 aa"));
    EXPECT_FALSE(update.insertRow);
    EXPECT_TRUE(update.record.empty());
    EXPECT_EQ(s.rowCounter(), 0);
}

TEST(MonitorSession, The152ndReportEmptiesTheListAndLandsInRow0) {
    MonitorSession s(MonitorMode::Serial);
    for (int i = 0; i < 151; ++i) {
        const auto u = s.show(serial("00 01 00 00 00"));
        ASSERT_FALSE(u.clearList) << i;
        ASSERT_EQ(u.row, i);
    }
    const auto u = s.show(serial("00 01 00 00 00"));
    EXPECT_TRUE(u.clearList);
    EXPECT_EQ(u.row, 0);
    EXPECT_EQ(s.rowCounter(), 1);
}

TEST(MonitorSession, PausedStillRecordsAndContinueEmptiesTheList) {
    MonitorSession s(MonitorMode::Serial);
    s.setSaving(true);
    s.show(serial("00 01 00 00 00"));
    EXPECT_FALSE(s.togglePause());
    EXPECT_EQ(s.pauseButtonText().str(), "Continue to Display");
    const auto paused = s.show(serial("00 01 00 00 00"));
    EXPECT_FALSE(paused.insertRow);
    EXPECT_FALSE(paused.record.empty()) << "the file keeps growing";
    EXPECT_TRUE(s.togglePause());
    EXPECT_EQ(s.pauseButtonText().str(), "Stop Displaying");
    EXPECT_EQ(s.show(serial("00 01 00 00 00")).row, 0);
}

TEST(MonitorSession, NotSavingGivesNoRecord) {
    MonitorSession s(MonitorMode::Serial);
    EXPECT_TRUE(s.show(serial("00 01 00 00 00")).record.empty());
    EXPECT_EQ(s.saveButtonText().str(), "Save Content");
    s.setSaving(true);
    EXPECT_EQ(s.saveButtonText().str(), "Stop Saving");
}

TEST(MonitorColumns, EachModeInOrder) {
    std::vector<std::string> serialTitles, ethernetTitles;
    for (const auto& c : monitorColumns(MonitorMode::Serial)) serialTitles.push_back(c.title.str());
    for (const auto& c : monitorColumns(MonitorMode::Ethernet)) ethernetTitles.push_back(c.title.str());
    EXPECT_EQ(serialTitles, (std::vector<std::string>{"Status", "Slave Address", "Starting Address", "Data/Exception Code"}));
    EXPECT_EQ(ethernetTitles, (std::vector<std::string>{"Serial port index", "Status", "Slave Address",
                                                        "Starting Address", "Data/Exception Code"}));
    EXPECT_EQ(monitorColumns(MonitorMode::Serial).back().width, 300);
}

struct RecordCase {
    const char* name;
    std::string record;
    const char* expected;
};

TEST(MonitorRecord, SerialAndEthernetLayouts) {
    const EthernetMonitorReport abnormal{1, 1, 5, 16, 2, {}};
    const EthernetMonitorReport timeout{1, 3, 5, 16, 0, {}};
    const EthernetMonitorReport correct{0, 0, 7, 256, 0, hexBytes("0a 0b")};
    const std::vector<RecordCase> table{
        {"SerialCorrect", serialRecordText(serial("00 05 00 10 02 12 34")),
         "Status\t\tRespond correctly\nSlave Address\t5\nStarting Address\t16\nData/Exception Code\t12 34 \n\n"},
        {"SerialAbnormal", serialRecordText(serial("01 05 00 10 00 03")),
         "Status\t\tRespond abnormally \nSlave Address\t5\nStarting Address\t16\n"
         "Data/Exception Code\t03 (Incorrect data)\n\n"},
        {"SerialTimeoutEmptyDataLine", serialRecordText(serial("03 05 00 10 00")),
         "Status\t\tResponse timeout\nSlave Address\t5\nStarting Address\t16\nData/Exception Code\t\n\n"},
        {"EthernetAbnormal", ethernetRecordText(abnormal),
         "Serial port index\t2\nStatus\t\tRespond abnormally \nSlave Address\t5\nStarting Address\t16\n"
         "Data/Exception Code\t2\n\n"},
        {"EthernetCorrect", ethernetRecordText(correct),
         "Serial port index\t1\nStatus\t\tRespond correctly\nSlave Address\t7\nStarting Address\t256\n"
         "Data/Exception Code\t0a 0b \n\n"},
        {"EthernetTimeoutKeepsLineEnds", ethernetRecordText(timeout),
         "Serial port index\t\nStatus\t\tResponse timeout\nSlave Address\t\nStarting Address\t\n"
         "Data/Exception Code\t\n\n"},
    };
    for (const auto& c : table) EXPECT_EQ(c.record, c.expected) << c.name;
}

}  // namespace
}  // namespace korvex::monitor
