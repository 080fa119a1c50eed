// SerialByteLink against the korvex-gatewaysim program over the
// pseudo-terminal the program creates: the real port code, the real
// simulator, paced at 19200 baud.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "hex_bytes.h"
#include "io/serial_byte_link.h"

namespace korvex::io {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;
using Bytes = std::vector<std::uint8_t>;

// Generous bounds: the tests only must not hang, they never measure time.
constexpr int kPatientMs = 5000;

class Simulator {
public:
    explicit Simulator(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>(KORVEX_GATEWAYSIM)};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(KORVEX_GATEWAYSIM, argv.data());
            _exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
        path_ = readLine();
    }
    ~Simulator() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) ::close(stdout_);
    }
    const std::string& path() const { return path_; }
    // Sends SIGTERM and returns the exit status (-1 when it did not exit normally).
    int terminate() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::string readLine() {
        std::string line;
        char c = 0;
        pollfd p{stdout_, POLLIN, 0};
        while (poll(&p, 1, kPatientMs) == 1 && ::read(stdout_, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    pid_t pid_ = -1;
    int stdout_ = -1;
    bool exited_ = false;
    std::string path_;
};

// One request and its whole answer (its length from its second byte).
Bytes askGateway(SerialByteLink& link, const Bytes& request) {
    link.purge();
    EXPECT_TRUE(link.send(request));
    if (link.waitForBytes(2, kPatientMs) < 2) return {};
    Bytes head(2);
    link.read(head);
    Bytes rest(head[1] + 1u);
    link.waitForBytes(rest.size(), kPatientMs);
    rest.resize(link.read(rest));
    head.insert(head.end(), rest.begin(), rest.end());
    return head;
}

TEST(GatewaySimulatorLink, DownloadedCommandsReadBackScrambled) {
    Simulator sim({"--device-type", "4", "--firmware", "6.0", "--baud", "19200"});
    ASSERT_FALSE(sim.path().empty());
    std::string error;
    auto link = SerialByteLink::open(sim.path(), {}, &error, nullptr);
    ASSERT_TRUE(link) << error;

    EXPECT_EQ(hexText(askGateway(*link, hexBytes("01 00 01"))), "01 08 04 06 00 00 00 F4 00 00 07");
    EXPECT_EQ(hexText(askGateway(*link, hexBytes("0F 01 A4 B4"))), "0F 02 00 00 11");
    EXPECT_EQ(hexText(askGateway(*link, hexBytes("14 03 00 F0 0F 16"))), "14 00 14");
    EXPECT_EQ(hexText(askGateway(*link, hexBytes("10 0D 00 00 A4 A6 00 00 00 AF E5 00 00 00 B5 B0"))),
              "10 00 10");
    EXPECT_EQ(hexText(askGateway(*link, hexBytes("15 01 00 16"))), "15 03 00 A4 00 BC");
    EXPECT_EQ(hexText(askGateway(*link, hexBytes("16 02 00 00 18"))),
              "16 0D 00 00 A4 A6 00 00 00 AF E5 00 00 00 B5 B6");
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(GatewaySimulatorLink, KeepsTheConfigurationAcrossClientsAndStartsFromFrames) {
    const std::string frames = ::testing::TempDir() + "gatewaysim_frames.txt";
    std::ofstream(frames) << "30 03 20 10 01 64\n32 01 03 36\n";
    Simulator sim({"--firmware", "5.2", "--frames", frames});
    ASSERT_FALSE(sim.path().empty());
    {
        auto link = SerialByteLink::open(sim.path(), {}, nullptr, nullptr);
        ASSERT_TRUE(link);
        EXPECT_EQ(hexText(askGateway(*link, hexBytes("31 00 31"))), "31 03 20 10 01 65");
        EXPECT_EQ(hexText(askGateway(*link, hexBytes("33 00 33"))), "33 01 03 37");
        EXPECT_EQ(hexText(askGateway(*link, hexBytes("32 01 05 38"))), "32 00 32");
    }
    // A second client (the upload after a download) finds what the first wrote.
    auto link = SerialByteLink::open(sim.path(), {}, nullptr, nullptr);
    ASSERT_TRUE(link);
    EXPECT_EQ(hexText(askGateway(*link, hexBytes("33 00 33"))), "33 01 05 39");
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(GatewaySimulatorLink, SilentAndLateFaultsAndAnEndingSimulator) {
    Simulator sim({"--firmware", "5.2", "--fault", "15=silent", "--fault", "33=late:150"});
    auto link = SerialByteLink::open(sim.path(), {}, nullptr, nullptr);
    ASSERT_TRUE(link);
    link->send(hexBytes("15 01 00 16"));
    EXPECT_EQ(link->waitForBytes(1, 300), 0u);
    EXPECT_EQ(hexText(askGateway(*link, hexBytes("33 00 33"))), "33 01 00 34");
    // The simulator goes away like an unplugged adapter: the link notices.
    EXPECT_EQ(sim.terminate(), 0);
    link->waitForBytes(1, kPatientMs);
    EXPECT_FALSE(link->isOpen());
    EXPECT_FALSE(link->send(hexBytes("01 00 01")));
}

}  // namespace
}  // namespace korvex::io
