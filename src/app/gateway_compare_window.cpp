#include "app/gateway_compare_window.h"

#include "app/qt_text.h"
#include "model/texts.h"
#include "serial/transfer_progress.h"

namespace korvex::app {

GatewayCompareWindow::GatewayCompareWindow(QWidget* parent, Project& project, const PlcBlocks* plc, UiServices& ui,
                                           serial::PortOpener& opener)
    : TransferWindow(parent, serial::TransferDirection::Upload, project, ui, opener) {
    setWindowTitle(qtext(texts::MenuCompareWithGateway));
    if (plc) plc_ = *plc;
}

void GatewayCompareWindow::prepareRun() {
    working_ = std::make_shared<const Project>(project_);
    *result_ = GatewayComparison{};
    beginProgress(texts::UploadRunning);
}

TransferJob GatewayCompareWindow::makeJob() {
    return [working = working_, result = result_, plc = plc_](std::unique_ptr<serial::ByteLink>& link,
                                                             ForwardingOperator& op) {
        if (!link) return;
        *result = compareWithGateway(*link, op, *working, plc ? &*plc : nullptr);
        // Closed after a comparison and when the port failed, as after an upload.
        if (result->compared || !link->isOpen()) link.reset();
    };
}

void GatewayCompareWindow::finishRun() {
    if (result_->compared) emit compared(result_->result);
}

std::vector<StepReport> GatewayCompareWindow::progressLines(int deviceType) const {
    return serial::uploadProgressLines(deviceType);
}

}  // namespace korvex::app
