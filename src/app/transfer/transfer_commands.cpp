#include "app/transfer/transfer_commands.h"

#include "app/transfer/download_window.h"
#include "app/transfer/port_dialog.h"
#include "app/transfer/upload_window.h"
#include "model/kvx_file.h"
#include "model/operator.h"
#include "model/texts.h"
#include "serial/download_checks.h"
#include "serial/upload_conversion.h"

namespace korvex::app {

void ensurePortChosen(const SerialCommandContext& c) {
    serial::ensureSettingsChosen(c.ports, [&] {
        PortDialog dialog(c.parent, c.ports, c.source, c.project.deviceKind, c.op);
        dialog.exec();
    });
}

void runSerialConnection(const SerialCommandContext& c) {
    PortDialog dialog(c.parent, c.ports, c.source, c.project.deviceKind, c.op);
    dialog.exec();
}

CommandEnd runDownloadCommand(const SerialCommandContext& c, bool remoteConfigAllowed, bool& projectChanged) {
    const PlcBlocks* plc = c.mapping.plc.active();
    const std::vector<std::uint8_t> before = projectFileBytes(c.project, plc);
    const bool passed = serial::checkBeforeDownload(c.project, c.mapping.mapping, plc, c.op);
    projectChanged = projectFileBytes(c.project, plc) != before;
    if (!passed) return CommandEnd::Done;
    serial::prepareForTransfer(c.ports, c.source);
    if (c.project.deviceKind == 4) return CommandEnd::NotBuilt;
    if (!remoteConfigAllowed) {
        c.op.showMessage(Message{texts::RemoteConfigForbidden, {}});
        return CommandEnd::Done;
    }
    DownloadWindow window(c.parent, c.project, c.mapping.mapping, plc, c.ui, c.opener);
    ensurePortChosen(c);
    if (window.openPort(c.ports)) window.exec();
    return CommandEnd::Done;
}

CommandEnd runUploadCommand(const SerialCommandContext& c, const std::function<void()>& onReplaced) {
    serial::prepareForTransfer(c.ports, c.source);
    CommandEnd end = CommandEnd::Done;
    if (c.project.deviceKind == 4) {
        end = CommandEnd::NotBuilt;
    } else {
        UploadWindow window(c.parent, c.project, c.mapping.plc.active(), c.ui, c.opener);
        QObject::connect(&window, &UploadWindow::projectReplaced, &window, [&] {
            if (onReplaced) onReplaced();
        });
        ensurePortChosen(c);
        if (window.openPort(c.ports)) window.exec();
    }
    serial::recomputeByteCounts(c.project);
    return end;
}

}  // namespace korvex::app
