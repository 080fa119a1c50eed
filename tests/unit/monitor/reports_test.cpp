// The report readers: where a report ends in the stream and what its row says,
// from the examples of both monitors, each also fed one byte at a time.
#include <gtest/gtest.h>

#include "../serial/case_names.h"
#include "hex_bytes.h"
#include "model/texts.h"
#include "monitor/debug_session.h"
#include "monitor/monitor_reports.h"
#include "monitor/monitor_session.h"
#include "monitor/row_texts.h"
#include "serial/gateway_frame.h"

namespace korvex::monitor {
namespace {

using korvex::testing::hexBytes;
using serial::testing::CaseName;
using Cells = std::vector<std::string>;

Bytes withSum(Bytes bytes) {
    bytes.push_back(serial::additiveChecksum(bytes));
    return bytes;
}

// ---- Serial monitor ----

struct SerialCase {
    std::string name;
    Bytes bytes;
    Cut cut;
    Cells cells;  // empty: not a report
};
void PrintTo(const SerialCase& c, std::ostream* os) { *os << c.name; }

class SerialReports : public ::testing::TestWithParam<SerialCase> {};

TEST_P(SerialReports, CutAndRow) {
    const auto& c = GetParam();
    EXPECT_EQ(cutSerialReport(c.bytes), c.cut);
    const auto report = readSerialReport(c.bytes);
    ASSERT_EQ(report.has_value(), !c.cells.empty());
    if (report) {
        EXPECT_EQ(serialRowCells(*report), c.cells);
    }
}

// Fed one byte at a time: a report is complete only with its last byte, a bad
// status is seen from the first byte, an incomplete report stays incomplete.
TEST_P(SerialReports, ByteByByte) {
    const auto& c = GetParam();
    const std::size_t end = c.cut.result == CutResult::NeedMore ? c.bytes.size() : c.cut.length;
    for (std::size_t n = 1; n < end; ++n) {
        const Cut cut = cutSerialReport(std::span(c.bytes).first(n));
        const Cut expected = c.cut.result == CutResult::Bad ? Cut{CutResult::Bad, n} : Cut{};
        EXPECT_EQ(cut, expected) << n << " bytes";
    }
    if (c.cut.result != CutResult::NeedMore) {
        EXPECT_EQ(cutSerialReport(std::span(c.bytes).first(end)), c.cut);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialReports,
    ::testing::Values(
        SerialCase{"CorrectWithTwoBytes", hexBytes("00 05 00 10 02 12 34"), {CutResult::Complete, 7},
                   {"Respond correctly", "5", "16", "12 34 "}},
        SerialCase{"AbnormalException03", hexBytes("01 05 00 10 00 03"), {CutResult::Complete, 6},
                   {"Respond abnormally ", "5", "16", "03 (Incorrect data)"}},
        SerialCase{"AbnormalUnknownException09", hexBytes("01 05 00 10 00 09"), {CutResult::Complete, 6},
                   {"Respond abnormally ", "5", "16", "01 (Incorrect function code)"}},
        SerialCase{"AbnormalWithCountTwo", hexBytes("01 05 00 10 02 06 00"), {CutResult::Complete, 7},
                   {"Respond abnormally ", "5", "16", "06 (Slave equipment is bussy)"}},
        SerialCase{"IncorrectBigStart", hexBytes("02 f7 ff fe 01 ab"), {CutResult::Complete, 6},
                   {"Respond incorrectly", "247", "65534", "ab "}},
        SerialCase{"TimeoutNoData", hexBytes("03 05 00 10 00"), {CutResult::Complete, 5},
                   {"Response timeout", "5", "16", "The node has no response"}},
        SerialCase{"HiddenStatusFF", hexBytes("ff 05 00 10 01 aa"), {CutResult::Complete, 6}, {"", "5", "16", "aa "}},
        SerialCase{"CorrectWithNoData", hexBytes("00 01 00 00 00"), {CutResult::Complete, 5},
                   {"Respond correctly", "1", "0", ""}},
        SerialCase{"Status07IsNoReport", hexBytes("07 05 00 10 00"), {CutResult::Bad, 5}, {}},
        SerialCase{"Status04IsNoReport", hexBytes("04"), {CutResult::Bad, 1}, {}},
        SerialCase{"CountPastWhatArrived", hexBytes("00 05 00 10 09 12 34"), {CutResult::NeedMore, 0}, {}},
        SerialCase{"HeaderOnlyPart", hexBytes("00 05 00"), {CutResult::NeedMore, 0}, {}},
        SerialCase{"AbnormalWithoutItsException", hexBytes("01 05 00 10 00"), {CutResult::NeedMore, 0}, {}}),
    CaseName{});

TEST(SerialReports, TwoReportsInOneBufferCutOneAfterTheOther) {
    const Bytes both = hexBytes("00 05 00 10 02 12 34 03 05 00 10 00");
    const Cut first = cutSerialReport(both);
    ASSERT_EQ(first, (Cut{CutResult::Complete, 7}));
    EXPECT_EQ(cutSerialReport(std::span(both).subspan(7)), (Cut{CutResult::Complete, 5}));
}

TEST(SerialReports, EveryExceptionCodeHasItsText) {
    const std::vector<std::pair<int, Text>> table{
        {0, texts::Exception01}, {1, texts::Exception01}, {2, texts::Exception02}, {3, texts::Exception03},
        {4, texts::Exception04}, {5, texts::Exception05}, {6, texts::Exception06}, {7, texts::Exception07},
        {8, texts::Exception08}, {9, texts::Exception01}, {255, texts::Exception01}};
    for (const auto& [code, text] : table) EXPECT_EQ(exceptionText(static_cast<std::uint8_t>(code)).key, text.key) << code;
    EXPECT_EQ(texts::Exception08.str(), "08 (The parity check of memory is wrong)");
    EXPECT_EQ(texts::StatusRespondAbnormally.str(), "Respond abnormally ");
}

// ---- Ethernet monitor ----

// Header (command 15, payload length), port index, status, 0, slave, start, rest.
Bytes datagram(std::uint32_t payloadLength, std::uint32_t port, std::uint32_t status, std::uint8_t slave,
               std::uint16_t start, const Bytes& rest) {
    Bytes d{0, 0, 0, 15};
    for (std::uint32_t v : {payloadLength, port, status})
        for (int shift : {24, 16, 8, 0}) d.push_back(static_cast<std::uint8_t>(v >> shift));
    d.push_back(0);
    d.push_back(slave);
    d.push_back(static_cast<std::uint8_t>(start >> 8));
    d.push_back(static_cast<std::uint8_t>(start));
    d.insert(d.end(), rest.begin(), rest.end());
    return d;
}

struct EthernetCase {
    std::string name;
    Bytes bytes;
    Cells cells;  // empty: refused
};
void PrintTo(const EthernetCase& c, std::ostream* os) { *os << c.name; }

class EthernetReports : public ::testing::TestWithParam<EthernetCase> {};

TEST_P(EthernetReports, Row) {
    const auto& c = GetParam();
    const auto report = readEthernetReport(c.bytes);
    ASSERT_EQ(report.has_value(), !c.cells.empty());
    if (report) {
        EXPECT_EQ(ethernetRowCells(*report), c.cells);
    }
}

Bytes longDatagram() {
    Bytes data(300, 0x5a);
    return datagram(12 + 300, 0, 0, 1, 2, data);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EthernetReports,
    ::testing::Values(
        EthernetCase{"PortOneException02",
                     hexBytes("00 00 00 0F 00 00 00 10 00 00 00 01 00 00 00 01 00 05 00 10 00 00 00 02"),
                     {"2", "Respond abnormally ", "5", "16", "2"}},
        EthernetCase{"CorrectThreeBytes", datagram(15, 0, 0, 7, 256, hexBytes("0a 0b 0c")),
                     {"1", "Respond correctly", "7", "256", "0a 0b 0c "}},
        EthernetCase{"IncorrectStatus", datagram(13, 3, 2, 1, 1, hexBytes("ff")),
                     {"4", "Respond incorrectly", "1", "1", "ff "}},
        EthernetCase{"TimeoutLeavesThreeCellsEmpty", datagram(12, 1, 3, 9, 9, {}),
                     {"2", "Response timeout", "", "", ""}},
        EthernetCase{"LengthPastWhatArrivedTakesWhatArrived", datagram(12 + 40, 0, 0, 1, 0, hexBytes("01 02")),
                     {"1", "Respond correctly", "1", "0", "01 02 "}},
        EthernetCase{"LengthBelowTwelveHasNoData", datagram(4, 0, 0, 1, 0, hexBytes("01 02")),
                     {"1", "Respond correctly", "1", "0", ""}},
        EthernetCase{"LengthShorterThanDataTakesTheLength", datagram(13, 0, 0, 1, 0, hexBytes("01 02 03")),
                     {"1", "Respond correctly", "1", "0", "01 "}},
        EthernetCase{"Status4Refused", datagram(12, 0, 4, 1, 0, {}), {}},
        EthernetCase{"StatusHighWordRefused", datagram(12, 0, 0x01000000, 1, 0, {}), {}},
        EthernetCase{"ShorterThanItsFieldsRefused", hexBytes("00 00 00 0F 00 00 00 0C 00 00 00 00 00 00 00 00 00 05"),
                     {}},
        EthernetCase{"ExceptionMissingRefused", datagram(16, 0, 1, 1, 0, hexBytes("00 00 00")), {}},
        EthernetCase{"EmptyRefused", Bytes{}, {}}),
    CaseName{});

TEST(EthernetReports, DatagramOver300BytesIsReadOnlyToByte300) {
    const auto report = readEthernetReport(longDatagram());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->data.size(), 300u - 20u);
}

// ---- Debug monitor ----

struct DebugCase {
    std::string name;
    DebugLayout layout;
    Bytes bytes;
    Cut cut;
    Cells cells;  // empty: no row
};
void PrintTo(const DebugCase& c, std::ostream* os) { *os << c.name; }

class DebugReports : public ::testing::TestWithParam<DebugCase> {};

TEST_P(DebugReports, CutAndRow) {
    const auto& c = GetParam();
    EXPECT_EQ(cutDebugReport(c.layout, c.bytes), c.cut);
    DebugSession session(c.layout);
    const auto update = session.show(readDebugReport(c.layout, c.bytes));
    EXPECT_EQ(update.insertRow, !c.cells.empty());
    EXPECT_EQ(update.cells, c.cells);
}

// Fed one byte at a time, no report is complete before its last byte.
TEST_P(DebugReports, ByteByByteNeverCompleteEarly) {
    const auto& c = GetParam();
    const std::size_t end = c.cut.result == CutResult::NeedMore ? c.bytes.size() : c.cut.length;
    for (std::size_t n = 1; n < end; ++n)
        EXPECT_EQ(cutDebugReport(c.layout, std::span(c.bytes).first(n)).result, CutResult::NeedMore) << n;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DebugReports,
    ::testing::Values(
        DebugCase{"MasterExample", DebugLayout::Master, withSum(hexBytes("01 08 00 05 03 00 10 00 12 34")),
                  {CutResult::Complete, 11}, {"1", "Respond correctly", "5", "3", "16", " 12 34"}},
        DebugCase{"MasterAbnormalNoData", DebugLayout::Master, withSum(hexBytes("d3 06 01 02 03 01 00 00")),
                  {CutResult::Complete, 9}, {"1", "Respond abnormally ", "2", "3", "256", ""}},
        DebugCase{"MasterUnknownStatusEmptyColumn", DebugLayout::Master, withSum(hexBytes("d3 07 09 02 03 00 01 00 ab")),
                  {CutResult::Complete, 10}, {"1", "", "2", "3", "1", " AB"}},
        DebugCase{"MasterHiddenFF", DebugLayout::Master, withSum(hexBytes("d3 06 ff 05 03 00 10 00")),
                  {CutResult::Complete, 9}, {}},
        DebugCase{"MasterShorterThanItsLayout", DebugLayout::Master, withSum(hexBytes("d3 02 00 05")),
                  {CutResult::Complete, 5}, {"1", "Respond correctly", "5", "218", "0", ""}},
        DebugCase{"MasterCountPastWhatArrived", DebugLayout::Master, hexBytes("d3 20 00 05 03"),
                  {CutResult::NeedMore, 0}, {"1", "Respond correctly", "5", "3", "0", ""}},
        DebugCase{"SlaveModbusToProfibus", DebugLayout::Slave, withSum(hexBytes("d3 f5 00 0a 1b")),
                  {CutResult::CompleteWhenQuiet, 6}, {"1", "Modbus->PROFIBUS", "0A 1B "}},
        DebugCase{"SlaveProfibusToModbus", DebugLayout::Slave, withSum(hexBytes("d3 f5 01 ff")),
                  {CutResult::CompleteWhenQuiet, 5}, {"1", "PROFIBUS->Modbus", "FF "}},
        DebugCase{"SlaveFourBytesNoData", DebugLayout::Slave, withSum(hexBytes("d3 f5 01")),
                  {CutResult::CompleteWhenQuiet, 4}, {"1", "PROFIBUS->Modbus", ""}},
        DebugCase{"SlaveUnknownDirectionEmpty", DebugLayout::Slave, withSum(hexBytes("d3 f5 07 01")),
                  {CutResult::CompleteWhenQuiet, 5}, {"1", "", "01 "}},
        DebugCase{"SlaveHiddenFF", DebugLayout::Slave, withSum(hexBytes("d3 f5 ff 01")),
                  {CutResult::CompleteWhenQuiet, 5}, {}},
        DebugCase{"SlaveWithoutMarkerNotShown", DebugLayout::Slave, withSum(hexBytes("d3 05 00 01")),
                  {CutResult::CompleteWhenQuiet, 5}, {}},
        DebugCase{"SlaveSumNotYetRight", DebugLayout::Slave, hexBytes("d3 f5 00 0a 1b 00"), {CutResult::NeedMore, 0},
                  {"1", "Modbus->PROFIBUS", "0A 1B "}},
        DebugCase{"UserConfigSerialToProfibus", DebugLayout::UserConfig, withSum(hexBytes("d3 03 00 0a 1b")),
                  {CutResult::Complete, 6}, {"1", "Serial port->PROFIBUS", "0A 1B "}},
        DebugCase{"UserConfigProfibusToSerial", DebugLayout::UserConfig, withSum(hexBytes("d3 02 01 41")),
                  {CutResult::Complete, 5}, {"1", "PROFIBUS->Serial port", "41 "}},
        DebugCase{"UserConfigHiddenFF", DebugLayout::UserConfig, withSum(hexBytes("d3 01 ff")),
                  {CutResult::Complete, 4}, {}}),
    CaseName{});

TEST(DebugReports, SlaveReportEndsAt249BytesWhateverItsSum) {
    Bytes stream(300, 0x11);
    stream[0] = 0xD3;
    stream[1] = 0xF5;
    EXPECT_EQ(cutDebugReport(DebugLayout::Slave, std::span(stream).first(248)).result, CutResult::NeedMore);
    EXPECT_EQ(cutDebugReport(DebugLayout::Slave, stream), (Cut{CutResult::Complete, 249}));
    const auto report = readDebugReport(DebugLayout::Slave, std::span(stream).first(249));
    EXPECT_EQ(report.data.size(), 249u - 4u);
}

TEST(DebugReports, MasterDataStopsBeforeTheSum) {
    // N = 255: data are bytes 8 .. 256, the sum is byte 257.
    Bytes report(258, 0x22);
    report[1] = 0xFF;
    const auto r = readDebugReport(DebugLayout::Master, report);
    EXPECT_EQ(r.data.size(), 249u);
}

// ---- Debug information answer ----

struct InformationCase {
    std::string name;
    Bytes answer;
    std::optional<DebugLayout> layout;
    std::optional<std::string> failureKey;
    int major = 0;
    int minor = 0;
};
void PrintTo(const InformationCase& c, std::ostream* os) { *os << c.name; }

Bytes information(int major, int minor, int protocol) {
    Bytes b(15, 0);
    b[0] = 0xD0;
    b[1] = 0x0D;
    b[12] = static_cast<std::uint8_t>(major);
    b[13] = static_cast<std::uint8_t>(minor);
    b[14] = static_cast<std::uint8_t>(protocol);
    return withSum(b);
}

Bytes badSum() {
    Bytes b = information(6, 0, 0);
    b[15] ^= 1;
    return b;
}
Bytes wrongFirstByte() {
    Bytes b = information(6, 0, 0);
    b[0] = 0xD1;
    b[15] = serial::additiveChecksum(std::span(b).first(15));
    return b;
}

Bytes firstBytes(Bytes b, std::size_t n) {
    b.resize(n);
    return b;
}

class DebugInformationAnswers : public ::testing::TestWithParam<InformationCase> {};

TEST_P(DebugInformationAnswers, Check) {
    const auto& c = GetParam();
    const auto check = checkDebugInformation(c.answer);
    EXPECT_EQ(check.layout, c.layout);
    EXPECT_EQ(check.failure ? std::optional<std::string>(std::string(check.failure->id.key)) : std::nullopt,
              c.failureKey);
    EXPECT_EQ(check.information.firmwareMajor, c.major);
    EXPECT_EQ(check.information.firmwareMinor, c.minor);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DebugInformationAnswers,
    ::testing::Values(
        InformationCase{"Master", information(6, 1, 0), DebugLayout::Master, std::nullopt, 6, 1},
        InformationCase{"Slave", information(5, 3, 1), DebugLayout::Slave, std::nullopt, 5, 3},
        InformationCase{"UserConfig", information(5, 2, 3), DebugLayout::UserConfig, std::nullopt, 5, 2},
        InformationCase{"Protocol2IllegalSubnet", information(6, 0, 2), std::nullopt, "DebugIllegalSubnet", 6, 0},
        InformationCase{"BadSum", badSum(), std::nullopt, "DebugProductMismatch", 6, 0},
        InformationCase{"WrongFirstByte", wrongFirstByte(), std::nullopt, "DebugProductMismatch", 6, 0},
        InformationCase{"FifteenBytes", firstBytes(information(6, 0, 0), 15), std::nullopt, "DebugProductMismatch",
                        6, 0},
        InformationCase{"Nothing", Bytes{}, std::nullopt, "DebugProductMismatch", 0, 0}),
    CaseName{});

TEST(DebugInformationAnswers, FirmwareNewerThan52AsksBeforeLeaving) {
    EXPECT_FALSE((DebugInformation{5, 2, 0}.asksBeforeLeaving()));
    EXPECT_TRUE((DebugInformation{5, 3, 0}.asksBeforeLeaving()));
    EXPECT_TRUE((DebugInformation{6, 0, 0}.asksBeforeLeaving()));
    EXPECT_FALSE((DebugInformation{4, 9, 0}.asksBeforeLeaving()));
}

}  // namespace
}  // namespace korvex::monitor
