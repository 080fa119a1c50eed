#include "simulator_options.h"

#include <charconv>
#include <sstream>

namespace korvex::gatewaysim {

const char* const kSimulatorUsage =
    "usage: korvex-gatewaysim [options]\n"
    "Stands in for a gateway on its serial configuration port. Creates a\n"
    "pseudo-terminal and prints its path on the first line of standard output.\n"
    "  --device-type N      device type it reports, 1 to 7 (default 4)\n"
    "  --firmware X.Y       firmware version (default 6.0; 6 and later scramble)\n"
    "  --capacity N         capacity byte, 0 to 255 (default 244)\n"
    "  --baud N             pace the bytes it sends at N baud (default: no pacing)\n"
    "  --config FILE.kvx    start with this project as if it had been downloaded\n"
    "  --frames FILE        start with these frames (as korvex-cli frames prints them)\n"
    "  --fault CMD=KIND     answer command CMD (hex) wrongly; KIND is error[:CODE],\n"
    "                       badsum, late:MS, silent or forget (answers as if carried\n"
    "                       out, keeps nothing) (repeatable)\n"
    "  --device PATH        serve this serial device instead of a new pseudo-terminal\n"
    "  --quit-after-idle S  exit after S seconds without a request\n"
    "  --net ADDRESS        serve the network side instead: the search on UDP 18801 and\n"
    "                       read, write and restart on TCP 18801 of ADDRESS (127.x.x.x\n"
    "                       only), plus search broadcasts to 127.255.255.255, and the\n"
    "                       UDP monitor on port 18802\n"
    "  --mac XX-XX-XX-XX-XX-XX  MAC address the search answer reports\n"
    "  --remote-config allow|prohibit  permission the search answer reports\n"
    "  --write-answer N     command code of the write answer (default 6 = accepted)\n"
    "  --forget-writes      accept written blocks but keep the one it had\n"
    "  --monitor            report Modbus traffic on the line as the serial monitor\n"
    "                       stream (use --baud 115200): one report, then the reply\n"
    "                       00 or 01 AH AL N DATA, then the next; a session starts\n"
    "                       when a program opens the terminal and ends when it closes it\n"
    "  --debug-layout L     subnet protocol the debug information answer names and\n"
    "                       the debug reports follow: master (default), slave or user\n"
    "  --report-rate R      reports per second, 1 to 1000 (default 20), or fast: the\n"
    "                       next report as soon as the reply is in (all three streams)\n"
    "In debug state (0F with state 2; firmware 5 and older any time) it answers\n"
    "D0 00 D0 with the debug information, reports after D2 01 EA BD until\n"
    "D2 01 F0 C3 (each answered by D4), and leaves for the configuration state on\n"
    "0F 01 01 11.\n"
    "Monitor streams (serial --monitor, debug mode after D2 01 EA BD, UDP port 18802\n"
    "after a start frame with --net) report the configured commands in turn: report\n"
    "k shows command (k-1) mod count; k mod 10 = 3 an exception (codes 1..8 in\n"
    "turn), 6 a time-out, 9 a hidden report (status or direction FF; not over UDP).\n"
    "Read commands carry bytes counting up from k, write commands (5, 6, 15, 16)\n"
    "the output memory at their mapping address, which the monitors' writes fill.\n"
    "Unanswered reports are given up after 1000 ms.\n"
    "  --verbose            log every request and answer on standard error\n"
    "It exits cleanly on SIGTERM and SIGINT.\n";

namespace {

template <typename T>
std::optional<T> parseNumber(std::string_view text, int base = 10) {
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    T value{};
    const auto* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<std::uint8_t> parseByte(std::string_view text, int base) {
    auto v = parseNumber<unsigned>(text, base);
    if (!v || *v > 255) return std::nullopt;
    return static_cast<std::uint8_t>(*v);
}

}  // namespace

std::optional<ReportRate> parseReportRate(const std::string& text) {
    if (text == "fast") return ReportRate{0};
    const auto n = parseNumber<int>(text);
    if (!n || *n < 1 || *n > ReportRate::kFastest) return std::nullopt;
    return ReportRate{*n};
}

std::optional<std::pair<std::uint8_t, Fault>> parseFaultSpec(const std::string& text) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return std::nullopt;
    const auto command = parseByte(std::string_view(text).substr(0, eq), 16);
    if (!command) return std::nullopt;
    const std::string kind = text.substr(eq + 1);
    const auto colon = kind.find(':');
    const std::string name = kind.substr(0, colon);
    const std::string_view argument =
        colon == std::string::npos ? std::string_view() : std::string_view(kind).substr(colon + 1);
    Fault fault;
    if (name == "error") {
        fault.kind = FaultKind::ErrorFrame;
        if (colon != std::string::npos) {
            const auto code = parseByte(argument, 16);
            if (!code) return std::nullopt;
            fault.errorCode = *code;
        }
    } else if (name == "badsum" && colon == std::string::npos) {
        fault.kind = FaultKind::BadChecksum;
    } else if (name == "late") {
        const auto ms = parseNumber<int>(argument);
        if (!ms || *ms < 0 || *ms > 600'000) return std::nullopt;
        fault.kind = FaultKind::Late;
        fault.lateMs = *ms;
    } else if (name == "silent" && colon == std::string::npos) {
        fault.kind = FaultKind::Silent;
    } else if (name == "forget" && colon == std::string::npos) {
        fault.kind = FaultKind::Forget;
    } else {
        return std::nullopt;
    }
    return std::pair{*command, fault};
}

std::optional<std::vector<Bytes>> parseFrameLines(const std::string& text, std::string* error) {
    std::vector<Bytes> frames;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string word;
        Bytes frame;
        while (words >> word) {
            const auto b = word.size() == 2 ? parseByte(word, 16) : std::nullopt;
            if (!b) {
                if (error) *error = "line " + std::to_string(number) + ": \"" + word + "\" is not a hex byte";
                return std::nullopt;
            }
            frame.push_back(*b);
        }
        if (!frame.empty()) frames.push_back(std::move(frame));
    }
    return frames;
}

std::optional<SimulatorOptions> parseSimulatorOptions(const std::vector<std::string>& args,
                                                      std::string* error) {
    SimulatorOptions options;
    auto fail = [&](const std::string& why) -> std::optional<SimulatorOptions> {
        if (error) *error = why;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--forget-writes") {
            options.net.keepsWrites = false;
        } else if (arg == "--monitor") {
            options.serialMonitor = true;
        } else if (arg == "--device-type" || arg == "--firmware" || arg == "--capacity" ||
                   arg == "--baud" || arg == "--config" || arg == "--frames" || arg == "--fault" ||
                   arg == "--device" || arg == "--quit-after-idle" || arg == "--net" || arg == "--mac" ||
                   arg == "--remote-config" || arg == "--write-answer" || arg == "--debug-layout" ||
                   arg == "--report-rate") {
            const auto v = value();
            if (!v) return fail(arg + " needs a value");
            if (arg == "--device-type") {
                const auto type = parseByte(*v, 10);
                if (!type || *type < 1 || *type > 7) return fail("--device-type must be 1 to 7");
                options.device.deviceType = *type;
            } else if (arg == "--firmware") {
                const auto dot = v->find('.');
                const auto major = parseByte(v->substr(0, dot), 10);
                const auto minor = dot == std::string::npos ? std::optional<std::uint8_t>(0)
                                                            : parseByte(v->substr(dot + 1), 10);
                if (!major || !minor) return fail("--firmware must be MAJOR.MINOR, such as 6.0");
                options.device.firmwareMajor = *major;
                options.device.firmwareMinor = *minor;
                options.net.firmwareMajor = *major;
                options.net.firmwareMinor = *minor;
            } else if (arg == "--capacity") {
                const auto capacity = parseByte(*v, 10);
                if (!capacity) return fail("--capacity must be 0 to 255");
                options.device.capacity = *capacity;
            } else if (arg == "--baud") {
                const auto baud = parseNumber<int>(*v);
                if (!baud || *baud < 0 || *baud > 4'000'000) return fail("--baud must be 0 to 4000000");
                options.paceBaud = *baud;
            } else if (arg == "--config") {
                options.configFile = *v;
            } else if (arg == "--frames") {
                options.framesFile = *v;
            } else if (arg == "--fault") {
                const auto fault = parseFaultSpec(*v);
                if (!fault) return fail("--fault must be CMD=error[:CODE], CMD=badsum, CMD=late:MS, CMD=silent or CMD=forget");
                options.faults.push_back(*fault);
            } else if (arg == "--net") {
                const auto address = parseAddress(*v);
                if (!address || (*address)[0] != 127) return fail("--net takes a loopback address 127.x.x.x");
                options.netAddress = *v;
                options.net.address = *address;
            } else if (arg == "--mac") {
                const auto mac = parseMac(*v);
                if (!mac) return fail("--mac takes six hex pairs such as 00-1a-2b-3c-4d-5e");
                options.net.mac = *mac;
            } else if (arg == "--remote-config") {
                if (*v != "allow" && *v != "prohibit") return fail("--remote-config takes allow or prohibit");
                options.net.remoteConfigAllowed = *v == "allow";
            } else if (arg == "--write-answer") {
                const auto code = parseNumber<std::uint32_t>(*v);
                if (!code) return fail("--write-answer takes a command code");
                options.net.writeAnswerCode = *code;
            } else if (arg == "--debug-layout") {
                const auto layout = parseDebugLayout(*v);
                if (!layout) return fail("--debug-layout takes master, slave or user");
                options.device.debugLayout = *layout;
            } else if (arg == "--report-rate") {
                const auto rate = parseReportRate(*v);
                if (!rate) return fail("--report-rate takes fast or a number of reports per second, 1 to 1000");
                options.device.reportRate = *rate;
                options.net.reportRate = *rate;
            } else if (arg == "--device") {
                options.devicePath = *v;
            } else {
                const auto seconds = parseNumber<int>(*v);
                if (!seconds || *seconds < 0) return fail("--quit-after-idle must be a number of seconds");
                options.quitAfterIdleSeconds = *seconds;
            }
        } else {
            return fail("unknown argument " + arg);
        }
    }
    if (options.serialMonitor && !options.netAddress.empty()) {
        return fail("--monitor is the serial line's stream; with --net the UDP monitor runs anyway");
    }
    if (!options.configFile.empty() && !options.framesFile.empty()) {
        return fail("--config and --frames cannot be used together");
    }
    return options;
}

}  // namespace korvex::gatewaysim
