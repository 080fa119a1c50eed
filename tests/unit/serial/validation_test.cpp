// The download-side and upload-side checks of the gateway's answers, as tables
// of good and bad answers.
#include "serial/answer_validation.h"

#include <gtest/gtest.h>

#include "case_names.h"

#include <string>

#include "serial/gateway_frame.h"

namespace korvex::serial {
namespace {

struct DownloadCase {
    const char* name;
    Bytes answer;
    bool scrambled;
    std::uint8_t expected;
};

void PrintTo(const DownloadCase& c, std::ostream* os) { *os << c.name; }

class DownloadValidation : public ::testing::TestWithParam<DownloadCase> {};

TEST_P(DownloadValidation, ReturnsTheCommandOfWellFormedAnswersOnly) {
    Bytes answer = GetParam().answer;
    EXPECT_EQ(validateDownloadAnswer(answer, GetParam().scrambled).command, GetParam().expected);
}

const Bytes kDeviceType{0x01, 0x08, 0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x07};

INSTANTIATE_TEST_SUITE_P(
    Answers, DownloadValidation,
    ::testing::Values(
        DownloadCase{"SubnetAcknowledgement", {0x03, 0x00, 0x03}, false, 0x03},
        DownloadCase{"AcknowledgementWithWrongCommandEcho", {0x03, 0x00, 0x04}, false, 0},
        DownloadCase{"AcknowledgementWithData", {0x03, 0x01, 0x03}, false, 0},
        DownloadCase{"TruncatedAcknowledgement", {0x03, 0x00}, false, 0},
        DownloadCase{"CommandAcknowledgement", {0x10, 0x00, 0x10}, true, 0x10},
        DownloadCase{"ClearAcknowledgement", {0x14, 0x00, 0x14}, true, 0x14},
        DownloadCase{"DeviceNetAcknowledgement", {0x21, 0x00, 0x21}, false, 0x21},
        DownloadCase{"ProfibusAcknowledgement", {0x30, 0x00, 0x30}, false, 0x30},
        DownloadCase{"DeviceType", kDeviceType, false, 0x01},
        DownloadCase{"DeviceTypeNeverUnscrambled", kDeviceType, true, 0x01},
        DownloadCase{"DeviceTypeWithSevenDataBytes",
                     {0x01, 0x07, 0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x06}, false, 0},
        DownloadCase{"DeviceTypeWithBadChecksum",
                     {0x01, 0x08, 0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x08}, false, 0},
        DownloadCase{"DeviceTypeTruncated", {0x01, 0x08, 0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00}, false, 0},
        DownloadCase{"ErrorAnswer83", {0x83, 0x02, 0xE1, 0xE2, 0x48}, false, 0x83},
        DownloadCase{"ScrambledErrorAnswer83", {0x83, 0x02, 0x44, 0x47, 0x10}, true, 0x83},
        DownloadCase{"ErrorAnswerWithBadChecksum", {0x83, 0x02, 0xE1, 0xE2, 0x49}, false, 0},
        DownloadCase{"ScrambledErrorAnswerWithBadChecksum", {0x83, 0x02, 0x44, 0x47, 0x11}, true, 0},
        DownloadCase{"ErrorAnswerOfTheUploadSide", {0x95, 0x02, 0x01, 0x02, 0x9A}, false, 0},
        DownloadCase{"UnknownCommand", {0x55, 0x00, 0x55}, false, 0},
        DownloadCase{"Nothing", {}, false, 0}),
    testing::CaseName());

TEST(DownloadValidation, KeepsTheIdentityBytesAndTheErrorCode) {
    Bytes type = kDeviceType;
    const auto valid = validateDownloadAnswer(type, false);
    EXPECT_EQ(valid.deviceData, (std::array<std::uint8_t, 8>{0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00}));
    Bytes error{0x83, 0x02, 0x44, 0x47, 0x10};
    EXPECT_EQ(validateDownloadAnswer(error, true).errorCode, (std::array<std::uint8_t, 2>{0xE1, 0xE2}));
    EXPECT_EQ(error[2], 0xE1);  // unscrambled in place
}

// ---- Upload side -------------------------------------------------------------

struct UploadCase {
    const char* name;
    Bytes answer;
    UploadAnswerContext context;
    std::uint8_t expected;
};

void PrintTo(const UploadCase& c, std::ostream* os) { *os << c.name; }

UploadAnswerContext shortForm(int subnet = -1) {
    UploadAnswerContext c;
    c.subnet = subnet;
    return c;
}
UploadAnswerContext longForm(int subnet = -1) {
    UploadAnswerContext c = shortForm(subnet);
    c.longSubnetForm = true;
    c.longProfibusForm = true;
    return c;
}
UploadAnswerContext scrambledLongForm() {
    UploadAnswerContext c = longForm();
    c.scrambled = true;
    return c;
}
UploadAnswerContext withLegacy244() {
    UploadAnswerContext c;
    c.legacyFlag244 = true;
    return c;
}

const Bytes kShortSubnet{0x04, 0x0E, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x01, 0x2C, 0x00, 0x03, 0x00, 0x0A, 0x51};
const Bytes kLongSubnet{0x04, 0x17, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00,
                        0x03, 0x00, 0x0A, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x5E};
const Bytes kLongSubnetScrambled{0x04, 0x17, 0x00, 0x00, 0xA0, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA4, 0x89, 0x00,
                                 0xA6, 0x00, 0xAF, 0xA6, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA4, 0x87};
const Bytes kOneCommand{0x16, 0x0D, 0x00, 0x00, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01, 0x10, 0x84};

class UploadValidation : public ::testing::TestWithParam<UploadCase> {};

TEST_P(UploadValidation, ReturnsTheCommandOfWellFormedAnswersOnly) {
    Bytes answer = GetParam().answer;
    UploadStore store;
    EXPECT_EQ(validateUploadAnswer(answer, GetParam().context, store).command, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UploadValidation,
    ::testing::Values(
        UploadCase{"DeviceType", kDeviceType, shortForm(), 0x01},
        UploadCase{"DeviceType5WithoutLegacyFlag",
                   {0x01, 0x08, 0x05, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x08}, shortForm(), 0},
        UploadCase{"DeviceType5WithLegacyFlag",
                   {0x01, 0x08, 0x05, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x08}, withLegacy244(), 0x01},
        UploadCase{"ShortSubnetParameters", kShortSubnet, shortForm(0), 0x04},
        UploadCase{"ShortSubnetParametersBadChecksum",
                   {0x04, 0x0E, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00, 0x03, 0x00, 0x0A, 0x52},
                   shortForm(0), 0},
        UploadCase{"ShortFormWhereTheLongOneIsExpected", kShortSubnet, longForm(0), 0},
        UploadCase{"LongSubnetParameters", kLongSubnet, longForm(0), 0x04},
        UploadCase{"LongSubnetParametersScrambled", kLongSubnetScrambled, scrambledLongForm(), 0x04},
        UploadCase{"SubnetParametersOfAnotherSubnet",
                   {0x04, 0x17, 0x01, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00,
                    0x03, 0x00, 0x0A, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x5F},
                   longForm(0), 0},
        UploadCase{"SubnetIndexOutsideTheTable", makeFrame(0x04, Bytes{4, 0, 5, 0, 0, 0, 0, 0, 1, 0x2C, 0, 3, 0, 0x0A}),
                   shortForm(), 0},
        UploadCase{"CommandCount13", {0x15, 0x03, 0x00, 0x0D, 0x00, 0x25}, shortForm(0), 0x15},
        UploadCase{"CommandCount101", {0x15, 0x03, 0x00, 0x65, 0x00, 0x7D}, shortForm(0), 0},
        UploadCase{"CommandCount256", {0x15, 0x03, 0x00, 0x00, 0x01, 0x19}, shortForm(0), 0},
        UploadCase{"CommandBatchOfOne", kOneCommand, shortForm(0), 0x16},
        UploadCase{"CommandBatchEmpty", {0x16, 0x01, 0x00, 0x17}, shortForm(0), 0x16},
        UploadCase{"CommandRecordIndex100",
                   {0x16, 0x0D, 0x00, 0x64, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01, 0x10, 0xE8},
                   shortForm(0), 0},
        UploadCase{"CommandBatchLengthNotWholeRecords",
                   {0x16, 0x0E, 0x00, 0x00, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01, 0x10, 0x00, 0x85},
                   shortForm(0), 0},
        UploadCase{"CommandBatchAnnouncingMoreThanItHolds",
                   {0x16, 0x19, 0x00, 0x00, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01, 0x10, 0x84},
                   shortForm(0), 0},
        UploadCase{"CommandBatchBadChecksum",
                   {0x16, 0x0D, 0x00, 0x00, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01, 0x10, 0x85},
                   shortForm(0), 0},
        UploadCase{"DeviceNetParameters", {0x22, 0x04, 0x0C, 0x02, 0x06, 0x05, 0x3F}, shortForm(), 0x22},
        UploadCase{"DeviceNetParametersBadChecksum", {0x22, 0x04, 0x0C, 0x02, 0x06, 0x05, 0x40}, shortForm(), 0},
        UploadCase{"ProfibusParametersShort", {0x31, 0x02, 0x01, 0x03, 0x37}, shortForm(), 0x31},
        UploadCase{"ProfibusParametersShortBadChecksum", {0x31, 0x02, 0x01, 0x03, 0x38}, shortForm(), 0},
        UploadCase{"ProfibusParametersLongTakenWithoutChecksum", {0x31, 0x03, 0x01, 0x03, 0x01, 0x00}, longForm(), 0x31},
        UploadCase{"ProfibusParametersLongTruncated", {0x31, 0x03, 0x01, 0x03}, longForm(), 0},
        UploadCase{"ErrorAnswer81", {0x81, 0x02, 0x01, 0x02, 0x86}, shortForm(), 0x81},
        UploadCase{"ErrorAnswer95", {0x95, 0x02, 0x01, 0x02, 0x9A}, shortForm(), 0x95},
        UploadCase{"ErrorAnswerOfTheDownloadSide", {0x83, 0x02, 0xE1, 0xE2, 0x48}, shortForm(), 0},
        UploadCase{"Nothing", {}, shortForm(), 0}),
    testing::CaseName());

TEST(UploadValidation, StoresTheRecordsItAccepts) {
    UploadStore store;
    Bytes answer = kLongSubnetScrambled;
    ASSERT_EQ(validateUploadAnswer(answer, scrambledLongForm(), store).command, 0x04);
    EXPECT_TRUE(store.subnetRead[0]);
    const std::array<std::uint8_t, kSubnetRecordSize> expected{0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
                                                               0x2C, 0x00, 0x03, 0x00, 0x0A, 0x03, 0x00, 0x00,
                                                               0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(store.subnetRecords[0], expected);

    answer = {0x15, 0x03, 0x00, 0x0D, 0x00, 0x25};
    ASSERT_EQ(validateUploadAnswer(answer, shortForm(0), store).command, 0x15);
    EXPECT_EQ(store.commandCounts[0], 13);

    answer = kOneCommand;
    ASSERT_EQ(validateUploadAnswer(answer, shortForm(0), store).command, 0x16);
    EXPECT_TRUE(store.commandReceived[0].test(0));
    EXPECT_EQ(store.commands[0][0],
              (std::array<std::uint8_t, kCommandDataSize>{0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01, 0x10}));
}

TEST(UploadValidation, RefusedAnswersStoreNothing) {
    UploadStore store;
    // Two records, the second with index 100: neither is stored.
    Bytes data{0x00, 0x00, 5, 3, 0, 0, 0, 8, 0x40, 0, 0, 1, 0x10, 100, 5, 3, 0, 0, 0, 8, 0x40, 0, 0, 1, 0x10};
    Bytes answer = makeFrame(0x16, data);
    EXPECT_EQ(validateUploadAnswer(answer, shortForm(0), store).command, 0);
    EXPECT_TRUE(store.commandReceived[0].none());
    answer = {0x15, 0x03, 0x00, 0x65, 0x00, 0x7D};
    EXPECT_EQ(validateUploadAnswer(answer, shortForm(0), store).command, 0);
    EXPECT_EQ(store.commandCounts[0], 0);
}

}  // namespace
}  // namespace korvex::serial
