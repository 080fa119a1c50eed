// SerialByteLink over a pseudo-terminal made here: the test holds the master
// side and plays the gateway by hand.
#include "io/serial_byte_link.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

namespace korvex::io {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Generous bound for bytes that are already on their way: the tests never
// measure time, they only must not hang.
constexpr int kPatientMs = 5000;

class PseudoTerminal {
public:
    PseudoTerminal() {
        termios raw{};
        cfmakeraw(&raw);
        std::array<char, 128> name{};
        if (openpty(&master_, &slave_, name.data(), &raw, nullptr) == 0) path_ = name.data();
    }
    ~PseudoTerminal() {
        closeMaster();
        if (slave_ >= 0) ::close(slave_);
    }
    const std::string& path() const { return path_; }
    void write(const Bytes& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    Bytes readExactly(std::size_t count) const {
        Bytes out;
        std::array<std::uint8_t, 256> chunk{};
        while (out.size() < count) {
            const auto got = ::read(master_, chunk.data(), std::min(chunk.size(), count - out.size()));
            if (got <= 0) break;
            out.insert(out.end(), chunk.begin(), chunk.begin() + got);
        }
        return out;
    }
    // The other side hangs up, as when an adapter is unplugged. The test's own
    // slave descriptor goes too, or the terminal would stay alive.
    void hangUp() {
        closeMaster();
        if (slave_ >= 0) ::close(slave_);
        slave_ = -1;
    }

private:
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

std::unique_ptr<SerialByteLink> openLink(const std::string& path, LineSettings settings = {}) {
    std::string error;
    bool denied = true;
    auto link = SerialByteLink::open(path, settings, &error, &denied);
    EXPECT_NE(link, nullptr) << error;
    EXPECT_FALSE(denied);
    return link;
}

TEST(SerialByteLink, SendsAndReceivesOverAPseudoTerminal) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path().empty());
    auto link = openLink(pty.path());
    ASSERT_TRUE(link && link->isOpen());

    const Bytes request{0x01, 0x00, 0x01};
    EXPECT_TRUE(link->send(request));
    EXPECT_EQ(pty.readExactly(3), request);

    const Bytes answer{0x01, 0x08, 0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x07};
    pty.write(answer);
    ASSERT_EQ(link->waitForBytes(answer.size(), kPatientMs), answer.size());
    Bytes got(answer.size());
    EXPECT_EQ(link->read(got), answer.size());
    EXPECT_EQ(got, answer);
    EXPECT_EQ(link->bytesWaiting(), 0u);
}

TEST(SerialByteLink, BelongsToTheThreadThatOpensIt) {
    // A transfer runs on a worker thread: the link is opened, used and
    // destroyed there.
    PseudoTerminal pty;
    Bytes got(4);
    std::size_t waited = 0;
    std::thread worker([&] {
        auto link = openLink(pty.path());
        if (!link) return;
        link->send(Bytes{0x33, 0x00, 0x33});
        waited = link->waitForBytes(4, kPatientMs);
        got.resize(link->read(got));
    });
    EXPECT_EQ(pty.readExactly(3), (Bytes{0x33, 0x00, 0x33}));
    pty.write({0x33, 0x01, 0x00, 0x34});
    worker.join();
    EXPECT_EQ(waited, 4u);
    EXPECT_EQ(got, (Bytes{0x33, 0x01, 0x00, 0x34}));
}

TEST(SerialByteLink, WaitPullsBytesThatArriveWhileItWaits) {
    PseudoTerminal pty;
    auto link = openLink(pty.path());
    ASSERT_TRUE(link);
    // The answer comes in two parts while the link already waits for all of it.
    std::thread gateway([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pty.write({0x03, 0x00});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pty.write({0x03});
    });
    const auto waiting = link->waitForBytes(3, kPatientMs);
    gateway.join();
    EXPECT_EQ(waiting, 3u);
}

TEST(SerialByteLink, WaitEndsAtItsLimitWithWhatCame) {
    PseudoTerminal pty;
    auto link = openLink(pty.path());
    ASSERT_TRUE(link);
    EXPECT_EQ(link->waitForBytes(1, 10), 0u);
    pty.write({0x0F, 0x02});
    // Two of five bytes: the wait ends at its limit and reports the two.
    EXPECT_EQ(link->waitForBytes(5, 100), 2u);
    EXPECT_TRUE(link->isOpen());
}

TEST(SerialByteLink, BytesWaitingCountsWhatTheDriverHolds) {
    PseudoTerminal pty;
    auto link = openLink(pty.path());
    ASSERT_TRUE(link);
    pty.write({0x22, 0x00, 0x22});
    // Nobody waited: the count must still see the bytes once the driver has them.
    std::size_t waiting = 0;
    for (int i = 0; i < 500 && waiting < 3; ++i) {
        waiting = link->bytesWaiting();
        if (waiting < 3) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(waiting, 3u);
}

TEST(SerialByteLink, PurgeDiscardsWhatWaits) {
    PseudoTerminal pty;
    auto link = openLink(pty.path());
    ASSERT_TRUE(link);
    pty.write({0x10, 0x00, 0x10});
    ASSERT_EQ(link->waitForBytes(3, kPatientMs), 3u);
    link->purge();
    EXPECT_EQ(link->bytesWaiting(), 0u);
    pty.write({0x14, 0x00, 0x14});
    ASSERT_EQ(link->waitForBytes(3, kPatientMs), 3u);
    Bytes got(8);
    got.resize(link->read(got));
    EXPECT_EQ(got, (Bytes{0x14, 0x00, 0x14}));
}

TEST(SerialByteLink, OpeningPurgesWhatWasPendingBefore) {
    PseudoTerminal pty;
    pty.write({0xAA, 0xBB});
    auto link = openLink(pty.path());
    ASSERT_TRUE(link);
    pty.write({0x01});
    ASSERT_GE(link->waitForBytes(1, kPatientMs), 1u);
    Bytes got(8);
    got.resize(link->read(got));
    EXPECT_EQ(got, (Bytes{0x01}));
}

// A pseudo-terminal keeps only the rate and the stop bits (the kernel forces
// 8 data bits without parity on it), so those are what is checked here.
struct LineCase {
    const char* name;
    LineSettings settings;
    speed_t speed;
    bool twoStopBits;
};

class SerialByteLinkLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(SerialByteLinkLine, AppliesTheLineSettings) {
    const auto& c = GetParam();
    PseudoTerminal pty;
    auto link = openLink(pty.path(), c.settings);
    ASSERT_TRUE(link);
    const int fd = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&t), c.speed);
    EXPECT_EQ(cfgetispeed(&t), c.speed);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStopBits);
    // Raw: no echo, no line editing, no translation of carriage returns.
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SerialByteLinkLine,
    ::testing::Values(LineCase{"Default19200_1StopBit", LineSettings{}, B19200, false},
                      LineCase{"Rate9600_2StopBits", LineSettings{9600, 8, Parity::None, 2}, B9600, true},
                      LineCase{"Rate115200", LineSettings{115200, 8, Parity::None, 1}, B115200, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SerialByteLink, AMissingDeviceGivesTheSystemsReason) {
    std::string error;
    bool denied = true;
    auto link = SerialByteLink::open("/dev/korvex-no-such-port", {}, &error, &denied);
    EXPECT_EQ(link, nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(denied);
}

TEST(SerialByteLink, ASecondOpenOfTheSamePortFails) {
    PseudoTerminal pty;
    auto first = openLink(pty.path());
    ASSERT_TRUE(first);
    std::string error;
    auto second = SerialByteLink::open(pty.path(), {}, &error, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(first->isOpen());
}

TEST(SerialByteLink, AHangUpClosesTheLinkButKeepsWhatArrived) {
    PseudoTerminal pty;
    auto link = openLink(pty.path());
    ASSERT_TRUE(link);
    pty.write({0x03, 0x00, 0x03});
    ASSERT_EQ(link->waitForBytes(3, kPatientMs), 3u);
    pty.hangUp();
    // Waiting for more than came reveals the hang-up instead of running to the limit.
    link->waitForBytes(4, kPatientMs);
    EXPECT_FALSE(link->isOpen());
    EXPECT_FALSE(link->lastError().empty());
    EXPECT_FALSE(link->send(Bytes{0x01, 0x00, 0x01}));
    Bytes got(8);
    got.resize(link->read(got));
    EXPECT_EQ(got, (Bytes{0x03, 0x00, 0x03}));
}

}  // namespace
}  // namespace korvex::io
