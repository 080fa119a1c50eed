#include "serial/answer_validation.h"

#include <algorithm>

#include "serial/gateway_frame.h"
#include "serial/gateway_protocol.h"

namespace korvex::serial {

namespace {

// The answer cut to the frame its length byte announces. `complete` tells
// whether all of it was received; `checksumOk` whether its last byte is the
// checksum of the bytes before it, as received.
struct FrameView {
    std::span<std::uint8_t> bytes;
    std::uint8_t command = 0;
    std::uint8_t length = 0;
    bool complete = false;
    bool checksumOk = false;
};

FrameView viewOf(std::span<std::uint8_t> answer) {
    FrameView v;
    if (answer.size() < 2) {
        v.bytes = answer;
        v.command = answer.empty() ? 0 : answer[0];
        return v;
    }
    v.command = answer[0];
    v.length = answer[1];
    const std::size_t total = frameLengthFromHeader(v.length);
    v.complete = answer.size() >= total;
    v.bytes = answer.first(std::min(total, answer.size()));
    v.checksumOk = v.complete && hasValidChecksum(v.bytes);
    return v;
}

void unscrambleIf(bool scrambled, FrameView& v) {
    if (scrambled && v.complete) scrambleFrame(v.bytes);
}

bool isDownloadError(std::uint8_t c) { return c == 0x81 || c == 0x83 || c == 0x90 || c == 0xA1 || c == 0xB0; }
bool isUploadError(std::uint8_t c) { return c == 0x81 || c == 0x95; }

bool subnetAllowed(std::uint8_t subnet, int asked) {
    return subnet < kSubnetCount && (asked < 0 || subnet == asked);
}

ValidatedAnswer deviceTypeAnswer(const FrameView& v) {
    ValidatedAnswer a;
    if (v.length != 8 || !v.checksumOk) return a;
    std::copy_n(v.bytes.begin() + 2, 8, a.deviceData.begin());
    a.command = command::ReadDeviceType;
    return a;
}

ValidatedAnswer errorAnswer(const FrameView& v) {
    ValidatedAnswer a;
    if (v.length != 2 || !v.checksumOk) return a;
    a.errorCode = {v.bytes[2], v.bytes[3]};
    a.command = v.command;
    return a;
}

}  // namespace

ValidatedAnswer validateDownloadAnswer(std::span<std::uint8_t> answer, bool scrambled) {
    FrameView v = viewOf(answer);
    if (v.command == command::ReadDeviceType) return deviceTypeAnswer(v);
    unscrambleIf(scrambled, v);
    switch (v.command) {
        case command::WriteSubnetParameters:
        case command::AddCommand:
        case command::ClearSubnetCommands:
        case command::WriteDeviceNetParameters:
        case command::WriteProfibusParameters: {
            ValidatedAnswer a;
            if (answer.size() >= 3 && answer[1] == 0 && answer[2] == v.command) a.command = v.command;
            return a;
        }
        default:
            return isDownloadError(v.command) ? errorAnswer(v) : ValidatedAnswer{};
    }
}

ValidatedAnswer validateUploadAnswer(std::span<std::uint8_t> answer, const UploadAnswerContext& context,
                                     UploadStore& store) {
    FrameView v = viewOf(answer);
    if (v.command == command::ReadDeviceType) {
        ValidatedAnswer a = deviceTypeAnswer(v);
        if (a.command != 0 && a.deviceData[0] == 5 && !context.legacyFlag244) return {};
        return a;
    }
    const bool checksumOk = v.checksumOk;  // as received, before unscrambling
    unscrambleIf(context.scrambled, v);
    ValidatedAnswer accepted;
    accepted.command = v.command;
    const std::span<const std::uint8_t> b = v.bytes;

    switch (v.command) {
        case command::ReadSubnetParameters: {
            const std::uint8_t length = context.longSubnetForm ? kLongSubnetParametersLength : 0x0E;
            if (v.length != length || !checksumOk || !subnetAllowed(b[2], context.subnet)) return {};
            const std::size_t recordSize = context.longSubnetForm ? kSubnetRecordSize : kShortSubnetRecordSize;
            auto& record = store.subnetRecords[b[2]];
            record.fill(0);
            std::copy_n(b.begin() + 3, recordSize, record.begin());
            store.subnetRead[b[2]] = true;
            return accepted;
        }
        case command::ReadCommandCount: {
            if (v.length != 3 || !checksumOk || !subnetAllowed(b[2], context.subnet)) return {};
            const int count = b[4] * 256 + b[3];  // low byte first
            if (count > kMaxCommands) return {};
            store.commandCounts[b[2]] = count;
            return accepted;
        }
        case command::ReadCommandBatch: {
            if (!checksumOk || v.length < 1 || (v.length - 1) % kCommandRecordSize != 0) return {};
            if (!subnetAllowed(b[2], context.subnet)) return {};
            const int records = (v.length - 1) / kCommandRecordSize;
            // Every record index must fit the table before anything is stored.
            for (int r = 0; r < records; ++r) {
                if (b[3 + static_cast<std::size_t>(r) * kCommandRecordSize] >= kMaxCommands) return {};
            }
            for (int r = 0; r < records; ++r) {
                const auto record = b.subspan(3 + static_cast<std::size_t>(r) * kCommandRecordSize, kCommandRecordSize);
                const std::uint8_t index = record[0];
                std::copy_n(record.begin() + 1, kCommandDataSize, store.commands[b[2]][index].begin());
                store.commandReceived[b[2]].set(index);
            }
            return accepted;
        }
        case command::ReadDeviceNetParameters:
            if (v.length != 4 || !checksumOk) return {};
            std::copy_n(b.begin() + 2, 4, store.fieldbus.begin());
            return accepted;
        case command::ReadProfibusParameters: {
            // The 3-byte form is taken without its checksum; both forms must
            // have arrived whole.
            const bool threeBytes = context.longProfibusForm && v.length == kLongProfibusParametersLength;
            if (!v.complete || (v.length != 2 && !threeBytes)) return {};
            if (!context.longProfibusForm && !checksumOk) return {};
            store.fieldbus = {b[2], b[3], static_cast<std::uint8_t>(threeBytes ? b[4] : 0), 0};
            return accepted;
        }
        default:
            if (isUploadError(v.command)) return errorAnswer(v);
            return {};
    }
}

}  // namespace korvex::serial
