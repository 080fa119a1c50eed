#include "app/compare_command.h"

#include <memory>

#include "app/ethernet_compare_dialog.h"
#include "app/gateway_compare_window.h"
#include "app/search_dialog.h"
#include "app/qt_text.h"
#include "app/transfer/port_dialog.h"
#include "model/kvx_file.h"
#include "model/texts.h"

namespace korvex::app {

CompareWindow* runCompareWithFile(QWidget* parent, UiServices& ui, Operator& op, const Project& project,
                                  const PlcAddressing* plc) {
    const QString path = ui.openFileName(parent, qtext(texts::FileDialogFilter));
    if (path.isEmpty()) return nullptr;
    auto other = std::make_unique<Project>();
    if (const auto error = openProject(toPathBytes(path), *other, plc)) {
        op.showMessage(*error, Icon::Warning);
        return nullptr;
    }
    CompareOptions options;
    options.plc = plc;
    auto* window = new CompareWindow(parent, CompareWindow::Against::File);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(qtext(texts::CompareWindowTitle) + QStringLiteral(" - ") + path);
    window->showResult(compareProjects(project, *other, options));
    window->show();
    return window;
}

CommandEnd runCompareWithGateway(const SerialCommandContext& c, const std::function<void(const CompareResult&)>& show) {
    serial::prepareForTransfer(c.ports, c.source);
    GatewayCompareWindow window(c.parent, c.project, c.mapping.plc.active(), c.ui, c.opener);
    QObject::connect(&window, &GatewayCompareWindow::compared, &window, [&show](const CompareResult& r) { show(r); });
    serial::ensureSettingsChosen(c.ports, [&] {
        PortDialog dialog(c.parent, c.ports, c.source, c.project.deviceKind, c.op);
        dialog.exec();
    });
    if (window.openPort(c.ports)) window.exec();
    return CommandEnd::Done;
}

void runCompareWithEthernetGateway(QWidget* parent, const Project& project, const PlcBlocks* plc,
                                   net::EthernetTarget& target, Operator& op,
                                   const std::function<void(const CompareResult&)>& show) {
    {
        SearchDialog search(parent, target);
        if (search.exec() != QDialog::Accepted) return;
    }
    EthernetCompareDialog window(parent, project, plc, target.targetAddress, op);
    QObject::connect(&window, &EthernetCompareDialog::compared, &window, [&show](const CompareResult& r) { show(r); });
    window.exec();
}

}  // namespace korvex::app
