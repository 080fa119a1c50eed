#include "app/transfer/download_window.h"

#include <algorithm>

#include "app/qt_text.h"
#include "model/texts.h"
#include "serial/transfer_progress.h"

namespace korvex::app {

namespace {

bool shown(const std::vector<std::string>& keys, const Text& text) {
    return std::find(keys.begin(), keys.end(), std::string(text.key)) != keys.end();
}

}  // namespace

DownloadWindow::DownloadWindow(QWidget* parent, Project& project, const MappingState& mapping, const PlcBlocks* plc,
                               UiServices& ui, serial::PortOpener& opener)
    : TransferWindow(parent, serial::TransferDirection::Download, project, ui, opener), mapping_(mapping) {
    if (plc) plc_ = *plc;
}

void DownloadWindow::prepareRun() {
    working_ = std::make_shared<Project>(project_);
    *result_ = serial::DownloadResult{};
    // The checks at the start of the run may stop it before anything is sent;
    // the window then shows what it showed before.
    before_ = {titleText(), statusText()};
    beginProgress(texts::DownloadRunning);
}

TransferJob DownloadWindow::makeJob() {
    return [working = working_, result = result_, mapping = mapping_, plc = plc_](
               std::unique_ptr<serial::ByteLink>& link, ForwardingOperator& op) {
        if (!link) return;
        *result = serial::runDownload(*link, op, *working, mapping, plc ? &*plc : nullptr);
        // The port is closed at the end of a download, when the user keeps the
        // gateway communicating, and when the gateway is of another type; a
        // port that failed (unplugged) is given up.
        const bool close = result->outcome == serial::TransferOutcome::Completed ||
                           result->outcome == serial::TransferOutcome::Canceled ||
                           shown(op.shownKeys(), texts::DeviceTypeMismatch) || !link->isOpen();
        if (close) link.reset();
    };
}

void DownloadWindow::finishRun() {
    switch (result_->outcome) {
        case serial::TransferOutcome::Stopped:
            setTitle(before_.title);
            setStatus(before_.status);
            break;
        case serial::TransferOutcome::Canceled:
            setTitle(qtext(texts::DownloadCanceled));
            setStatus(QString());
            break;
        case serial::TransferOutcome::Completed:
        case serial::TransferOutcome::Failed:
            break;
    }
    if (result_->identity) showLines(result_->identity->deviceType);
    // The byte counts the download refreshed.
    project_ = *working_;
}

std::vector<StepReport> DownloadWindow::progressLines(int deviceType) const {
    return serial::downloadProgressLines(deviceType);
}

}  // namespace korvex::app
