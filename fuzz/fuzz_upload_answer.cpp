// Feeds arbitrary answers to the upload-side answer check, one after another
// into the same store, then converts the store into a project. First byte: the
// context (bit 0 scrambled, bit 1 long subnet form, bit 2 long PROFIBUS form,
// bit 3 legacyFlag244, bits 4-6 the subnet asked for, 4 and more: any); then
// answers, each preceded by its length byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "model/project.h"
#include "serial/answer_validation.h"
#include "serial/exchange.h"
#include "serial/upload_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex;
    using namespace korvex::serial;
    if (size == 0) return 0;
    UploadAnswerContext context;
    context.scrambled = data[0] & 0x01;
    context.longSubnetForm = data[0] & 0x02;
    context.longProfibusForm = data[0] & 0x04;
    context.legacyFlag244 = data[0] & 0x08;
    const int asked = (data[0] >> 4) & 0x07;
    context.subnet = asked < kSubnetCount ? asked : -1;

    auto store = std::make_unique<UploadStore>();
    std::size_t pos = 1;
    while (pos < size) {
        const std::size_t length = std::min<std::size_t>(data[pos], size - pos - 1);
        ReceiveBuffer answer(kCommandBatchBufferSize);
        answer.assign(std::span(data + pos + 1, length));
        pos += 1 + length;
        const ValidatedAnswer valid = validateUploadAnswer(answer.bytes(), context, *store);
        if (valid.command != 0 && valid.command != answer.at(0)) __builtin_trap();
    }
    for (int s = 0; s < kSubnetCount; ++s) {
        if (store->commandCounts[static_cast<std::size_t>(s)] < 0 ||
            store->commandCounts[static_cast<std::size_t>(s)] > kMaxCommands)
            __builtin_trap();
    }

    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 3);
    resetForUpload(*project);
    convertUploadStore(*store, GatewayIdentity::fromDeviceData({4, 5, 2, 0, 0, 244, 0, 0}), *project, nullptr);
    for (const SubnetConfig& c : project->subnets) {
        if (c.commandCount < 0 || c.commandCount > kMaxCommands || c.nodeCount < 0 || c.nodeCount > kMaxNodes)
            __builtin_trap();
    }
    return 0;
}
