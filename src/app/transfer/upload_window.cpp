#include "app/transfer/upload_window.h"

#include <algorithm>

#include "model/texts.h"
#include "serial/transfer_progress.h"

namespace korvex::app {

UploadWindow::UploadWindow(QWidget* parent, Project& project, const PlcBlocks* plc, UiServices& ui,
                           serial::PortOpener& opener)
    : TransferWindow(parent, serial::TransferDirection::Upload, project, ui, opener) {
    if (plc) plc_ = *plc;
}

void UploadWindow::prepareRun() {
    working_ = std::make_shared<Project>(project_);
    *result_ = serial::UploadResult{};
    beginProgress(texts::UploadRunning);
}

TransferJob UploadWindow::makeJob() {
    return [working = working_, result = result_, plc = plc_](std::unique_ptr<serial::ByteLink>& link,
                                                             ForwardingOperator& op) {
        if (!link) return;
        *result = serial::runUpload(*link, op, *working, plc ? &*plc : nullptr);
        const auto& keys = op.shownKeys();
        const bool mismatch =
            std::find(keys.begin(), keys.end(), std::string(texts::DeviceTypeMismatch.key)) != keys.end();
        // Closed at the end of an upload and when the gateway is of another
        // type; a port that failed (unplugged) is given up.
        if (result->outcome == serial::TransferOutcome::Completed || mismatch || !link->isOpen()) link.reset();
    };
}

void UploadWindow::finishRun() {
    if (result_->identity) showLines(result_->identity->deviceType);
    if (!result_->projectReplaced) return;
    project_ = *working_;
    emit projectReplaced();
}

std::vector<StepReport> UploadWindow::progressLines(int deviceType) const {
    return serial::uploadProgressLines(deviceType);
}

}  // namespace korvex::app
