// korvex-cli diff and verify: two project files, or a project file and what a
// gateway holds, compared in the words of the property grid. The output
// (stable): `same` or `differ`, then one line per difference in tree order,
// PATH<TAB>LABEL<TAB>VALUE_A<TAB>VALUE_B. Texts are UTF-8 with control
// characters escaped as `tree` prints them, so a value cannot break a line.
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>

#include "cli_common.h"
#include "cli_compare.h"
#include "compare/difference_text.h"
#include "compare/gateway_compare.h"
#include "compare/gateway_image.h"
#include "compare/project_compare.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/texts.h"

#ifdef KORVEX_CLI_WITH_IO
#include "io/net_sockets.h"
#endif

namespace korvex::cli {

namespace {

int cmdDiff(const Args& args) {
    TransferOptions t(args);
    if (!t.plcAccepted) return usage(t.plcError);
    Options& options = t.options;
    const bool gatewayTwice = std::count(args.begin(), args.end(), "--gateway") > 1;
    const bool gateway = options.flag("--gateway");
    if (gatewayTwice) return usage("--gateway is given more than once");
    const auto pos = options.positional();
    if (!options.error().empty()) return usage(options.error());
    if (pos.size() != 2) return usage("diff needs two project files");
    auto a = std::make_unique<Project>();
    auto b = std::make_unique<Project>();
    if (!loadProject(pos[0], *a, t.plc.get()) || !loadProject(pos[1], *b, t.plc.get())) return kExitFailure;
    CompareOptions compare;
    compare.plc = t.plc.get();
    if (gateway) {
        // No gateway at hand: the newest one each project would be transferred to.
        compare.scope = CompareScope::Gateway;
        compare.gatewayImage = gatewayImageFunction(std::nullopt, t.blocks());
    }
    return printComparison(compareProjects(*a, *b, compare));
}

KORVEX_CLI_COMMAND("diff", "diff A.kvx B.kvx [--gateway] [--plc-blocks ...]", cmdDiff);

// The upload's step texts and messages go to standard error, so standard output
// holds the comparison alone. An upload asks nothing; a question would take its
// default button.
class StderrOperator : public Operator {
public:
    void showMessage(const Message& message, Icon) override { print(message); }
    Answer ask(const Message& question, Buttons buttons, Icon) override {
        print(question);
        return answersOf(buttons).front();
    }
    void stepDone(const StepReport& step) override { print(step.text); }

private:
    static void print(const Message& message) {
        std::string text = message.text();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::cerr << text << '\n';
    }
};

int cmdVerify(const Args& args) {
    TransferOptions t(args);
    if (!t.plcAccepted) return usage(t.plcError);
    Options& options = t.options;
    const auto port = options.value("--port");
    const auto ethernet = options.value("--ethernet");
    const auto pos = options.positional();
    if (!options.error().empty()) return usage(options.error());
    if (pos.size() != 1) return usage("verify needs one project file");
    if (port.has_value() == ethernet.has_value()) return usage("verify needs either --port PATH or --ethernet ADDRESS");
    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project, t.plc.get())) return kExitFailure;
    if (ethernet && !usesEthernetTransfer(*project)) return usage("--ethernet needs a project of kind 4 (EtherNet/IP)");
#ifdef KORVEX_CLI_WITH_IO
    const PlcBlocks* blocks = t.blocks();
    // The file is not written: the upload goes into memory.
    StderrOperator op;
    GatewayComparison verified;
    if (ethernet) {
        // The upload's own connection to A; no search first, so verify needs no
        // UDP port and a gateway that does not answer is the upload's message.
        io::TcpStreamSocket socket;
        verified = compareWithEthernetGateway(socket, *ethernet, op, *project, blocks);
    } else {
        auto link = openSerialPort(*port);
        if (!link) return kExitFailure;
        verified = compareWithGateway(*link, op, *project, blocks);
    }
    if (!verified.compared) return kExitFailure;
    return printComparison(verified.result);
#else
    if (ethernet) return usage("--ethernet needs a build with korvex_io");
    return fail({texts::PortOpenFailed, {*port}});
#endif
}

KORVEX_CLI_COMMAND("verify", "verify FILE.kvx (--port PATH | --ethernet ADDRESS) [--plc-blocks ...]", cmdVerify);

}  // namespace

int printComparison(const CompareResult& result) {
    if (!result.ok) return fail({texts::CompareNoGatewayImage, {}});
    std::cout << comparisonText(result);
    return kExitOk;
}

}  // namespace korvex::cli
