// The transfers' port opener over the real port code: what a failure reports
// (and the message the window shows from it), a pseudo-terminal opened through
// it carrying bytes both ways, and the device group the permission hint names.
#include "io/port_opener.h"

#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "model/texts.h"

namespace korvex::io {
namespace {

// A pseudo-terminal pair, closed at the end of the test.
struct Pty {
    Pty() { ok = openpty(&master, &slave, name.data(), nullptr, nullptr) == 0; }
    ~Pty() {
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
    }
    bool ok = false;
    int master = -1;
    int slave = -1;
    std::array<char, 128> name{};
};

TEST(SerialPortOpener, AMissingDeviceFailsWithTheSystemsReasonInItsMessage) {
    SerialPortOpener opener;
    serial::PortOpenError error;
    const std::string path = "/dev/korvex-no-such-port";
    const auto link = opener.open({path, {}, serial::kPortQueueSize}, error);
    EXPECT_FALSE(link);
    EXPECT_EQ(error.stage, serial::PortOpenError::Stage::Open);
    ASSERT_FALSE(error.reason.empty());
    EXPECT_FALSE(error.permissionDenied);
    // The window's message: the stage's words, then the system's reason, no hint.
    const Message stage{texts::PortOpenFailed, {path}};
    const std::string shown = serial::portFailureMessage(stage, path, error).text();
    EXPECT_EQ(shown.find(stage.text()), 0u) << shown;
    EXPECT_NE(shown.find(error.reason), std::string::npos) << shown;
    EXPECT_EQ(shown.find("dialout"), std::string::npos) << shown;
}

TEST(SerialPortOpener, OpensAPseudoTerminalAndCarriesBytesBothWays) {
    Pty pty;
    ASSERT_TRUE(pty.ok);
    SerialPortOpener opener;
    serial::PortOpenError error;
    auto link = opener.open({pty.name.data(), {}, serial::kPortQueueSize}, error);
    ASSERT_TRUE(link) << error.reason;
    const std::array<std::uint8_t, 3> request{0x01, 0x00, 0x01};
    EXPECT_TRUE(link->send(request));
    std::array<std::uint8_t, 3> received{};
    std::size_t got = 0;
    // Bounded: at most 50 polls of 100 ms.
    for (int i = 0; i < 50 && got < received.size(); ++i) {
        pollfd ready{pty.master, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) continue;
        const ssize_t n = ::read(pty.master, received.data() + got, received.size() - got);
        if (n > 0) got += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(received, request);

    const std::array<std::uint8_t, 4> answer{0x81, 0x01, 0x04, 0x86};
    ASSERT_EQ(::write(pty.master, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
    ASSERT_EQ(link->waitForBytes(answer.size(), 5000), answer.size());
    std::array<std::uint8_t, 4> back{};
    EXPECT_EQ(link->read(back), answer.size());
    EXPECT_EQ(back, answer);
}

// A device the user may not open: the error says permission was refused and
// names the device's group, which the message offers to join.
TEST(SerialPortOpener, RefusedPermissionNamesTheDevicesGroup) {
    if (::geteuid() == 0) GTEST_SKIP() << "root opens any device";
    Pty pty;
    ASSERT_TRUE(pty.ok);
    ASSERT_EQ(::chmod(pty.name.data(), 0), 0);
    SerialPortOpener opener;
    serial::PortOpenError error;
    EXPECT_FALSE(opener.open({pty.name.data(), {}, serial::kPortQueueSize}, error));
    EXPECT_TRUE(error.permissionDenied);
    EXPECT_EQ(error.owningGroup, owningGroupOf(pty.name.data()));
    const std::string shown =
        serial::portFailureMessage(Message{texts::PortOpenFailed, {pty.name.data()}}, pty.name.data(), error).text();
    if (!error.owningGroup.empty()) {
        EXPECT_NE(shown.find(error.owningGroup), std::string::npos) << shown;
    }
}

TEST(OwningGroup, NamesTheGroupOfTheDeviceFile) {
    char path[] = "/tmp/korvex-group-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const struct group* own = getgrgid(getegid());
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(owningGroupOf(path), own->gr_name);
    std::remove(path);
    EXPECT_EQ(owningGroupOf("/dev/korvex-no-such-port"), "");
}

}  // namespace
}  // namespace korvex::io
