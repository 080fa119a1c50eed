// What a value typed into the edit box does on the Fieldbus (or Ethernet) item
// and on a subnet item: which rows check a range, which store the text as it is,
// and which put the stored value back.
#include "editor/editor_session.h"

#include <cctype>

#include "editor/session_helpers.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

using namespace editor;
namespace T = texts;

void EditorSession::commitFieldbusEdit(std::string& text, bool& rangeEnding) {
    FieldbusSettings& f = project_.fieldbus;
    SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    const int kind = project_.deviceKind;
    const int r = currentRow_;
    const std::string& label = clickLabel_;

    if (kind == 0 && r == 1) {
        const auto v = canonicalDecimal(text);
        if (v && *v <= 63) {
            f.deviceNetAddress = text;
        } else {
            refuse(T::RefusedPlainNumber, {"0", "63"});
            text = f.deviceNetAddress;
        }
        return;
    }
    if (kind == 4 && r >= 2 && r <= 6) {
        std::string* fields[] = {&f.ipAddress, &f.subnetMask, &f.gatewayAddress, &f.dns1, &f.dns2};
        std::string& field = *fields[r - 2];
        if (isValidIPv4(text)) {
            field = text;
        } else {
            refuse(T::RefusedIpAddress);
            text = field;
        }
        return;
    }
    if ((kind == 1 || kind == 3) && (fl.legacyFlag233a || fl.legacyFlag246) &&
        label == T::LabelProfibusConfigData.text) {
        bool ok = text.size() <= 24;
        for (size_t i = 0; ok && i < text.size(); ++i) {
            const char ch = text[i];
            if (i % 3 == 2) ok = ch == ' ';
            else ok = ch == ' ' || std::isxdigit(static_cast<unsigned char>(ch));
        }
        if (ok) {
            f.profibusConfigData = text;
        } else {
            refuse(T::RefusedConfigData);
            text = f.profibusConfigData;
        }
        return;
    }
    if (fl.extendedSettingsFlag && label == T::LabelRetransmissionTimes.text) {
        rangeEnding = true;
        if (checkInteger(text, 2, 254, T::LabelRetransmissionTimes)) s1.retransmissionTimes = text;
        text = s1.retransmissionTimes;
        return;
    }
    if (fl.extendedSettingsFlag && label == T::LabelProfibusAddress.text) {
        rangeEnding = true;
        if (checkInteger(text, 0, 99, T::LabelProfibusAddress)) f.profibusAddress = text;
        text = f.profibusAddress;
        return;
    }
    // No rule for this row: nothing is stored (normal ending).
}

void EditorSession::commitSubnetEdit(std::string& text, bool& rangeEnding, bool& blankCell) {
    SubnetConfig* cp = clickedSubnet();
    if (!cp) return;
    SubnetConfig& c = *cp;
    const SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    auto ranged = [&](std::string& field, std::int64_t min, std::int64_t max, const Text& label) {
        rangeEnding = true;
        if (checkInteger(text, min, max, label)) field = text;
        text = blank1(field);
    };
    switch (currentRow_) {
        case 5:
            if (fl.extendedSettingsFlag) ranged(c.slaveAddress, 1, 247, T::LabelSlaveAddress);
            return;
        case 7:
            ranged(c.responseTimeout, 5, 60000, T::LabelResponseTimeout);
            return;
        case 8:
            ranged(c.pollDelay, 0, 2500, T::LabelPollDelay);
            return;
        case 10: {
            if (!state_.pulseOutputActive) return;
            const auto v = leadingDecimal(text);
            if (v && *v >= 200 && *v <= 2500) {
                c.outputPulse = text;
            } else {
                refuse(T::RefusedNumber, {"200", "2500"});
                text.clear();
                blankCell = true;
            }
            return;
        }
        case 11:
            ranged(c.scanRate, 1, 255, T::LabelScanRate);
            return;
        case 13:
            if (fl.legacyFlag244) c.charInterval = text;
            else ranged(c.charInterval, 10, 60000, T::LabelCharInterval);
            return;
        case 14:
            if (fl.legacyFlag244) {
                c.frameLength = text;
            } else {
                rangeEnding = true;
                if (checkInteger(text, 1, 243, T::LabelFrameLength)) {
                    const bool refused = parseDecimal(text).value_or(0) == 243 && s1.inputLengthPrefix == T::Enable.text;
                    if (refused) refuse(T::RefusedFrameLength243);
                    else c.frameLength = text;
                }
                text = c.frameLength;
            }
            return;
        case 15:
            if (fl.legacyFlag244) c.startCharacter = text;
            return;
        case 16:
            if (fl.legacyFlag244) c.stopCharacter = text;
            else ranged(c.autoSendPeriod, 10, 60000, T::LabelAutoSendPeriod);
            return;
        case 18:
            if (fl.legacyFlag244) c.autoSendPeriod = text;
            return;
        case 20:
            if (fl.extendedSettingsFlag) ranged(c.charIntervalSend, 0, 6000, T::LabelCharIntervalSend);
            return;
        case 21:
            if (fl.extendedSettingsFlag) ranged(c.charIntervalReceive, 0, 6000, T::LabelCharIntervalReceive);
            return;
        default:
            return;
    }
}

}  // namespace korvex
