#include "serial/port_open.h"

#include "model/texts/port_texts.h"

namespace korvex::serial {

namespace {

Message stageMessage(const PortOpenError& error, const std::string& name) {
    switch (error.stage) {
        case PortOpenError::Stage::Open: return Message{texts::PortOpenFailed, {name}};
        case PortOpenError::Stage::ReadLineState: return Message{texts::PortLineStateReadFailed, {}};
        case PortOpenError::Stage::WriteLineState: return Message{texts::PortLineStateWriteFailed, {}};
    }
    return Message{texts::PortOpenFailed, {name}};
}

OpenedPort openNamed(PortOpener& opener, const std::string& name, const SerialSettings& settings) {
    OpenedPort out;
    out.name = name;
    PortOpenRequest request;
    request.path = name;
    request.line = lineSettingsOf(settings);
    PortOpenError error;
    out.link = opener.open(request, error);
    if (!out.link) {
        out.failure = portFailureMessage(stageMessage(error, name), name, error);
        out.closesWindow = true;
    }
    return out;
}

}  // namespace

OpenedPort openTransferPort(PortOpener& opener, const SerialPorts& state, TransferDirection direction) {
    const std::optional<std::string> name = chosenPortName(state);
    if (!name) {
        OpenedPort out;
        if (direction == TransferDirection::Download) out.failure.emplace().id = texts::NoSerialPort;
        return out;
    }
    return openNamed(opener, *name, state.settings);
}

OpenedPort reopenTransferPort(PortOpener& opener, const std::string& name, const SerialSettings& settings) {
    return openNamed(opener, name, settings);
}

std::unique_ptr<ByteLink> openFixedRatePort(PortOpener& opener, const std::string& name, int baudRate,
                                            std::optional<Message>& failure) {
    PortOpenRequest request;
    request.path = name;
    request.line = LineSettings{baudRate, 8, Parity::None, 1};
    PortOpenError error;
    std::unique_ptr<ByteLink> link = opener.open(request, error);
    if (!link) failure = portFailureMessage(Message{texts::FixedRatePortOpenFailed, {name}}, name, error);
    return link;
}

Message portFailureMessage(const Message& stage, const std::string& path, const PortOpenError& error) {
    std::string detail = error.reason;
    if (error.permissionDenied) {
        const Message hint = error.owningGroup.empty() ? Message{texts::PortPermissionHintNoGroup, {path}}
                                                       : Message{texts::PortPermissionHint, {path, error.owningGroup}};
        if (!detail.empty()) detail += "\n\n";
        detail += hint.text();
    }
    if (detail.empty()) return stage;
    return Message{texts::PortFailureWithReason, {stage.text(), detail}};
}

}  // namespace korvex::serial
