// Opening a port for a transfer and for the fixed-rate Debug link: what is
// opened with which settings, and the messages of a failure.
#include "serial/port_open.h"

#include <gtest/gtest.h>

#include "model/texts/port_texts.h"

namespace korvex::serial {
namespace {

class NullLink : public ByteLink {
public:
    bool send(std::span<const std::uint8_t>) override { return true; }
    std::size_t bytesWaiting() override { return 0; }
    std::size_t read(std::span<std::uint8_t>) override { return 0; }
    std::size_t waitForBytes(std::size_t, int) override { return 0; }
    void purge() override {}
    std::int64_t nowMs() override { return 0; }
    bool isOpen() const override { return true; }
};

// Opens whatever it is asked, or fails with the error it was given.
class RecordingOpener : public PortOpener {
public:
    std::vector<PortOpenRequest> requests;
    std::optional<PortOpenError> failWith;

    std::unique_ptr<ByteLink> open(const PortOpenRequest& request, PortOpenError& error) override {
        requests.push_back(request);
        if (failWith) {
            error = *failWith;
            return nullptr;
        }
        return std::make_unique<NullLink>();
    }
};

SerialPorts portsOf(std::vector<std::string> names, int portIndex) {
    SerialPorts state;
    state.lists.ports = std::move(names);
    state.settings.portIndex = portIndex;
    return state;
}

TEST(TransferPort, OpensTheChosenDeviceByItsPathAt19200EightNOne) {
    RecordingOpener opener;
    SerialPorts state = portsOf({"/dev/ttyS0", "/dev/ttyUSB10"}, 1);
    state.settings.baudIndex = 7;  // the dialog may have stored another rate ...
    resetLineSettingsForTransfer(state.settings);  // ... the command resets it first

    const OpenedPort port = openTransferPort(opener, state, TransferDirection::Download);

    ASSERT_TRUE(port.link);
    EXPECT_FALSE(port.failure);
    EXPECT_EQ(port.name, "/dev/ttyUSB10");
    ASSERT_EQ(opener.requests.size(), 1u);
    // Linux device paths are opened as listed, whatever their length.
    EXPECT_EQ(opener.requests[0].path, "/dev/ttyUSB10");
    EXPECT_EQ(opener.requests[0].line, (LineSettings{19200, 8, Parity::None, 1}));
    EXPECT_EQ(opener.requests[0].queueSize, 4069);

    const OpenedPort again = reopenTransferPort(opener, port.name, state.settings);
    ASSERT_TRUE(again.link);
    EXPECT_EQ(opener.requests.back().path, "/dev/ttyUSB10");
}

TEST(TransferPort, AnEmptyListOpensNothingAndOnlyTheDownloadSaysSo) {
    RecordingOpener opener;
    const SerialPorts state = portsOf({}, 0);

    const OpenedPort download = openTransferPort(opener, state, TransferDirection::Download);
    EXPECT_FALSE(download.link);
    ASSERT_TRUE(download.failure);
    EXPECT_EQ(download.failure->id, texts::NoSerialPort);
    EXPECT_FALSE(download.closesWindow);

    const OpenedPort upload = openTransferPort(opener, state, TransferDirection::Upload);
    EXPECT_FALSE(upload.link);
    EXPECT_FALSE(upload.failure);
    EXPECT_TRUE(opener.requests.empty());
}

struct FailureCase {
    const char* name;
    PortOpenError error;
    std::string expected;
};

class TransferPortFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TransferPortFailure, ShowsTheStagesTextThenTheSystemsReason) {
    RecordingOpener opener;
    opener.failWith = GetParam().error;
    const OpenedPort port = openTransferPort(opener, portsOf({"/dev/ttyUSB0"}, 0), TransferDirection::Upload);
    EXPECT_FALSE(port.link);
    EXPECT_TRUE(port.closesWindow);
    ASSERT_TRUE(port.failure);
    EXPECT_EQ(port.failure->text(), GetParam().expected);
}

using Stage = PortOpenError::Stage;

INSTANTIATE_TEST_SUITE_P(Cases, TransferPortFailure, ::testing::Values(
    FailureCase{"NoReason", {Stage::Open, "", false, ""}, "Port /dev/ttyUSB0 Open failed!"},
    FailureCase{"Missing", {Stage::Open, "No such file or directory", false, ""},
                "Port /dev/ttyUSB0 Open failed!\n\nNo such file or directory"},
    FailureCase{"PermissionWithGroup", {Stage::Open, "Permission denied", true, "dialout"},
                "Port /dev/ttyUSB0 Open failed!\n\nPermission denied\n\nYour user account may not use "
                "/dev/ttyUSB0. Add it to the group \"dialout\" that owns the device (for example: sudo adduser "
                "$USER dialout), then log out and in again."},
    FailureCase{"PermissionWithoutGroup", {Stage::Open, "", true, ""},
                "Port /dev/ttyUSB0 Open failed!\n\nYour user account may not use /dev/ttyUSB0. Add it to the "
                "group that owns the device (dialout on Debian), then log out and in again."},
    FailureCase{"LineStateUnreadable", {Stage::ReadLineState, "Input/output error", false, ""},
                "Failing in reading serial port\n\nInput/output error"},
    FailureCase{"LineStateRefused", {Stage::WriteLineState, "", false, ""},
                "Error\xC2\xA3\xC2\xA1" "Com port can not be opened!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FixedRatePort, OpensAtTheGivenRateEightNOneAndNamesThePortOnFailure) {
    RecordingOpener opener;
    std::optional<Message> failure;
    EXPECT_TRUE(openFixedRatePort(opener, "/dev/ttyACM0", 19200, failure));
    EXPECT_FALSE(failure);
    EXPECT_EQ(opener.requests[0].line, (LineSettings{19200, 8, Parity::None, 1}));

    opener.failWith = PortOpenError{Stage::Open, "Device or resource busy", false, ""};
    EXPECT_FALSE(openFixedRatePort(opener, "/dev/ttyACM0", 19200, failure));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text(), "Failed to open the serial port /dev/ttyACM0 \n\nDevice or resource busy");
}

}  // namespace
}  // namespace korvex::serial
