// korvex-cli config-block, search and the Ethernet download and upload: the
// Ethernet link, headless.
//
// config-block prints the configuration block an Ethernet download would write
// for a project, without the download's checks: 16 bytes a line, upper-case hex
// pairs separated by blanks. search lists the gateways that answer, one line
// each with the six columns of the search window separated by tabs. download
// and upload with --ethernet A query A alone (never a broadcast) and print every
// message and question the windows would show.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "cli_common.h"
#include "cli_net.h"
#include "net/config_block.h"

#ifdef KORVEX_CLI_WITH_IO
#include "io/net_sockets.h"
#include "mapping/auto_mapping.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/texts.h"
#include "net/device_search.h"
#include "net/ethernet_transfer.h"
#include "serial/download_checks.h"
#endif

namespace korvex::cli {
namespace {

void printHexLines(const net::Bytes& bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += 16) {
        std::string line;
        for (std::size_t k = i; k < std::min(i + 16, bytes.size()); ++k) {
            char pair[4];
            std::snprintf(pair, sizeof pair, k == i ? "%02X" : " %02X", bytes[k]);
            line += pair;
        }
        std::cout << line << '\n';
    }
}

int cmdConfigBlock(const Args& args) {
    Options o(args);
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 1) return usage("config-block needs one project file");
    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project)) return kExitFailure;
    printHexLines(net::composeWriteBlock(*project));
    return kExitOk;
}

KORVEX_CLI_COMMAND("config-block", "config-block FILE.kvx   the block an Ethernet download writes, 16 bytes a line",
                   cmdConfigBlock);

#ifdef KORVEX_CLI_WITH_IO

// Prints what the windows would show. The restart question is answered OK with
// --restart; other questions Yes (or OK) with --yes, otherwise No (or Cancel).
class NetPrintingOperator : public Operator {
public:
    NetPrintingOperator(bool yes, bool restart) : yes_(yes), restart_(restart) {}
    void showMessage(const Message& message, Icon) override { printMessageLine(message); }
    Answer ask(const Message& question, Buttons buttons, Icon) override {
        printMessageLine(question);
        const bool accept = question.id == texts::RestartQuestion ? restart_ : yes_;
        const auto offered = answersOf(buttons);
        auto offers = [&](Answer a) { return std::find(offered.begin(), offered.end(), a) != offered.end(); };
        if (accept) return offers(Answer::Yes) ? Answer::Yes : Answer::Ok;
        return offers(Answer::No) ? Answer::No : Answer::Cancel;
    }
    void stepDone(const StepReport& step) override { printMessageLine(step.text); }

private:
    bool yes_, restart_;
};

std::unique_ptr<io::UdpDatagramSocket> openSearchSocket() {
    std::string reason;
    auto socket = io::UdpDatagramSocket::open(&reason);
    if (!socket) fail({texts::SearchPortInUse, {std::to_string(net::kLocalUdpPort)}});
    return socket;
}

// Runs the search: broadcast, or fixed-address when address is set.
std::vector<net::FoundDevice> search(net::EthernetTarget& target, net::DatagramSocket& socket) {
    net::DeviceSearch s(target, &socket, io::searchBroadcastAddress());
    io::SteadyClock clock;
    net::runSearch(s, clock);
    return s.rows();
}

int cmdSearch(const Args& args) {
    Options o(args);
    const auto address = o.value("--address");
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (!pos.empty()) return usage("search takes no positional arguments");
    auto socket = openSearchSocket();
    if (!socket) return kExitFailure;
    net::EthernetTarget target;
    target.useFixedAddress = address.has_value();
    target.targetAddress = address.value_or("");
    for (const auto& d : search(target, *socket))
        std::cout << d.indexText << '\t' << d.modelText << '\t' << d.ipText << '\t' << d.macText << '\t'
                  << d.firmwareText << '\t' << d.remoteConfigText << '\n';
    return kExitOk;
}

KORVEX_CLI_COMMAND("search", "search [--address A]   the gateways that answer: six tab-separated columns", cmdSearch);

// The fixed-address search of A before a transfer. The connection then goes
// to A itself, the address the user gave.
bool findGateway(const std::string& address, net::EthernetTarget& target) {
    auto socket = openSearchSocket();
    if (!socket) return false;
    target.useFixedAddress = true;
    target.targetAddress = address;
    if (search(target, *socket).empty()) {
        std::cerr << "korvex-cli: no gateway answered at " << address << '\n';
        return false;
    }
    return true;
}

}  // namespace

bool wantsEthernet(const Args& args) { return std::find(args.begin(), args.end(), "--ethernet") != args.end(); }

int runEthernetDownload(const Args& args) {
    Options o(args);
    const auto address = o.value("--ethernet");
    const bool restart = o.flag("--restart");
    const bool yes = o.flag("--yes");
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 1) return usage("download needs one project file");
    if (!address) return usage("download needs --ethernet A");

    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project)) return kExitFailure;
    if (project->deviceKind != 4) return usage("--ethernet needs a project of kind 4 (EtherNet/IP)");
    NetPrintingOperator op(yes, restart);
    MappingState mapping;
    if (!serial::checkBeforeDownload(*project, mapping, nullptr, op)) return kExitFailure;
    net::EthernetTarget target;
    if (!findGateway(*address, target)) return kExitFailure;
    if (!net::remoteConfigPermitted(target, op)) return kExitFailure;
    io::TcpStreamSocket socket;
    net::EthernetDownload transfer(socket, *address);
    const bool written = transfer.download(*project, mapping, nullptr, op);
    const bool closed = transfer.exit(op);
    return written && closed ? kExitOk : kExitFailure;
}

int runEthernetUpload(const Args& args) {
    Options o(args);
    const auto address = o.value("--ethernet");
    const auto into = o.value("--into");
    const auto out = o.value("-o");
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (!pos.empty()) return usage("upload takes no positional arguments");
    if (!address) return usage("upload needs --ethernet A");
    if (!out) return usage("upload needs -o OUT.kvx");

    auto project = std::make_unique<Project>();
    if (into) {
        if (!loadProject(*into, *project)) return kExitFailure;
    } else {
        resetToDefaults(*project, 4);
    }
    net::EthernetTarget target;
    if (!findGateway(*address, target)) return kExitFailure;
    NetPrintingOperator op(false, false);
    io::TcpStreamSocket socket;
    if (!net::ethernetUpload(*project, socket, *address, op)) return kExitFailure;
    return saveProject(*out, *project) ? kExitOk : kExitFailure;
}

#else

}  // namespace

bool wantsEthernet(const Args& args) { return std::find(args.begin(), args.end(), "--ethernet") != args.end(); }
int runEthernetDownload(const Args&) { return usage("--ethernet needs a build with korvex_io"); }
int runEthernetUpload(const Args&) { return usage("--ethernet needs a build with korvex_io"); }

#endif  // KORVEX_CLI_WITH_IO

}  // namespace korvex::cli
