// korvex-cli frames, download and upload: the serial transfers, headless.
//
// frames prints what a download would write; download and upload drive a real
// serial device (any path, pseudo-terminals included) and print, as they
// happen, each step text when its tick would show and every message and
// question the window would show.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli_common.h"
#include "cli_net.h"
#include "mapping/auto_mapping.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"
#include "serial/download.h"
#include "serial/download_checks.h"
#include "serial/download_frames.h"
#include "serial/upload.h"
#include "serial/upload_conversion.h"

namespace korvex::cli {
namespace {

// The firmware a frames listing assumes unless told: the current generation,
// which sends every frame there is.
constexpr int kDefaultMajor = 6;
constexpr int kDefaultMinor = 0;
constexpr int kDefaultCapacity = 244;

std::string hexLine(const serial::Bytes& frame) {
    std::string line;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", frame[i]);
        line += byte;
    }
    return line;
}

// "X.Y" with decimal parts 0 to 255.
bool parseFirmware(const std::string& text, int& major, int& minor) {
    const auto dot = text.find('.');
    if (dot == std::string::npos) return false;
    const auto a = parseDecimal(std::string_view(text).substr(0, dot));
    const auto b = parseDecimal(std::string_view(text).substr(dot + 1));
    if (!a || !b || *a > 255 || *b > 255) return false;
    major = static_cast<int>(*a);
    minor = static_cast<int>(*b);
    return true;
}

int cmdFrames(const Args& args) {
    TransferOptions t(args);
    if (!t.plcAccepted) return usage(t.plcError);
    Options& o = t.options;
    const auto firmware = o.value("--firmware");
    const auto capacity = o.value("--capacity");
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 1) return usage("frames needs one project file");
    int major = kDefaultMajor, minor = kDefaultMinor, capacityByte = kDefaultCapacity;
    if (firmware && !parseFirmware(*firmware, major, minor)) return usage("--firmware takes X.Y, for example 5.2");
    if (capacity) {
        const auto c = parseDecimal(*capacity);
        if (!c || *c > 255) return usage("--capacity takes a number from 0 to 255");
        capacityByte = static_cast<int>(*c);
    }
    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project, t.plc.get())) return kExitFailure;
    const auto identity = serial::GatewayIdentity::forProject(*project, major, minor, capacityByte);
    for (const auto& frame : serial::composeDownloadFrames(*project, identity, t.blocks())) std::cout << hexLine(frame) << '\n';
    return kExitOk;
}

KORVEX_CLI_COMMAND("frames", "frames FILE.kvx [--firmware X.Y] [--capacity N]", cmdFrames);

#ifdef KORVEX_CLI_WITH_IO

// Shows everything at once on standard output. Questions take the scripted
// answers in order; once they run out, --yes answers Yes (or OK), otherwise the
// answer is the one that changes nothing: No (or Cancel).
class PrintingOperator : public Operator {
public:
    PrintingOperator(std::deque<Answer> answers, bool yesToAll) : answers_(std::move(answers)), yes_(yesToAll) {}

    void showMessage(const Message& message, Icon) override { printMessageLine(message); }
    Answer ask(const Message& question, Buttons buttons, Icon) override {
        printMessageLine(question);
        const auto offered = answersOf(buttons);
        auto offers = [&](Answer a) { return std::find(offered.begin(), offered.end(), a) != offered.end(); };
        if (!answers_.empty()) {
            const Answer wanted = answers_.front();
            answers_.pop_front();
            if (offers(wanted)) return wanted;
        }
        if (yes_) return offers(Answer::Yes) ? Answer::Yes : offered.front();
        if (offers(Answer::No)) return Answer::No;
        return offers(Answer::Cancel) ? Answer::Cancel : offered.back();
    }
    void stepDone(const StepReport& step) override { printMessageLine(step.text); }

private:
    std::deque<Answer> answers_;
    bool yes_;
};

bool takeAnswers(Options& o, std::deque<Answer>& answers, std::string& error) {
    for (const auto& name : o.values("--answer")) {
        Answer a;
        if (!answerFromName(name, a) || a == Answer::Retry) {
            error = "--answer takes yes, no, ok or cancel";
            return false;
        }
        answers.push_back(a);
    }
    return true;
}

int cmdDownload(const Args& args) {
    if (wantsEthernet(args)) return runEthernetDownload(args);
    TransferOptions t(args);
    if (!t.plcAccepted) return usage(t.plcError);
    Options& o = t.options;
    std::string error;
    const auto port = o.value("--port");
    const bool yes = o.flag("--yes");
    std::deque<Answer> answers;
    if (!takeAnswers(o, answers, error)) return usage(error);
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 1) return usage("download needs one project file");
    if (!port) return usage("download needs --port PATH");

    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project, t.plc.get())) return kExitFailure;
    const PlcBlocks* blocks = t.blocks();
    PrintingOperator op(std::move(answers), yes);
    MappingState mapping;
    if (!serial::checkBeforeDownload(*project, mapping, blocks, op)) return kExitFailure;
    auto link = openSerialPort(*port);
    if (!link) return kExitFailure;
    const auto result = serial::runDownload(*link, op, *project, mapping, blocks);
    if (result.outcome == serial::TransferOutcome::Canceled) printMessageLine({texts::DownloadCanceled, {}});
    const bool done = result.outcome == serial::TransferOutcome::Completed && result.everythingAcknowledged;
    return done ? kExitOk : kExitFailure;
}

int cmdUpload(const Args& args) {
    if (wantsEthernet(args)) return runEthernetUpload(args);
    TransferOptions t(args);
    if (!t.plcAccepted) return usage(t.plcError);
    Options& o = t.options;
    const auto port = o.value("--port");
    const auto kind = o.value("--kind");
    const auto into = o.value("--into");
    const auto out = o.value("-o");
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (!pos.empty()) return usage("upload takes no positional arguments");
    if (!port) return usage("upload needs --port PATH");
    if (!out) return usage("upload needs -o OUT.kvx");
    if (kind.has_value() == into.has_value()) return usage("upload needs either --kind N or --into FILE.kvx");

    auto project = std::make_unique<Project>();
    if (kind) {
        const auto k = parseDecimal(*kind);
        if (!k || *k > 6) return usage("--kind takes 0 to 6");
        resetToDefaults(*project, static_cast<std::int32_t>(*k));
    } else if (!loadProject(*into, *project, t.plc.get())) {
        return kExitFailure;
    }
    PrintingOperator op({}, false);
    auto link = openSerialPort(*port);
    if (!link) return kExitFailure;
    const auto result = serial::runUpload(*link, op, *project, t.blocks());
    serial::recomputeByteCounts(*project);
    // Nothing is written unless the gateway's configuration was read whole.
    if (result.outcome != serial::TransferOutcome::Completed) return kExitFailure;
    if (!saveProject(*out, *project, t.plc.get())) return kExitFailure;
    return result.everythingRead ? kExitOk : kExitFailure;
}

KORVEX_CLI_COMMAND("download",
                   "download FILE.kvx (--port PATH [--answer yes|no|ok|cancel]... | --ethernet A [--restart]) [--yes]",
                   cmdDownload);
KORVEX_CLI_COMMAND("upload", "upload (--port PATH (--kind N | --into FILE.kvx) | --ethernet A [--into FILE.kvx]) -o OUT.kvx",
                   cmdUpload);

#endif  // KORVEX_CLI_WITH_IO

}  // namespace
}  // namespace korvex::cli
