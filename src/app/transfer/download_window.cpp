#include "app/transfer/download_window.h"

#include <algorithm>

#include "app/qt_text.h"
#include "app/read_back_panel.h"
#include "model/texts.h"
#include "serial/transfer_progress.h"

namespace korvex::app {

namespace {

bool shown(const std::vector<std::string>& keys, const Text& text) {
    return std::find(keys.begin(), keys.end(), std::string(text.key)) != keys.end();
}

// The read-back's upload reports steps of its own, which are not the
// download's lines: only its messages reach the window.
class MessagesOnly : public Operator {
public:
    explicit MessagesOnly(Operator& target) : target_(target) {}
    void showMessage(const Message& message, Icon icon) override { target_.showMessage(message, icon); }
    Answer ask(const Message& question, Buttons buttons, Icon icon) override {
        return target_.ask(question, buttons, icon);
    }
    void stepDone(const StepReport&) override {}

private:
    Operator& target_;
};

}  // namespace

DownloadWindow::DownloadWindow(QWidget* parent, Project& project, const MappingState& mapping, const PlcBlocks* plc,
                               UiServices& ui, serial::PortOpener& opener)
    : TransferWindow(parent, serial::TransferDirection::Download, project, ui, opener), mapping_(mapping) {
    if (plc) plc_ = *plc;
    readBackPanel_ = new ReadBackPanel(this);
    addBelowProgress(readBackPanel_);
}

void DownloadWindow::prepareRun() {
    working_ = std::make_shared<Project>(project_);
    *result_ = serial::DownloadResult{};
    *readBack_ = std::nullopt;
    readBackPanel_->clearResult();
    // The checks at the start of the run may stop it before anything is sent;
    // the window then shows what it showed before.
    before_ = {titleText(), statusText()};
    beginProgress(texts::DownloadRunning);
}

TransferJob DownloadWindow::makeJob() {
    return [working = working_, result = result_, readBack = readBack_, wanted = readBackPanel_->wanted(),
            mapping = mapping_, plc = plc_](std::unique_ptr<serial::ByteLink>& link, ForwardingOperator& op) {
        if (!link) return;
        *result = serial::runDownload(*link, op, *working, mapping, plc ? &*plc : nullptr);
        // The read-back, after a download the gateway acknowledged whole: an
        // upload on the same port into memory, compared with what was sent (the
        // byte counts the download refreshed included).
        if (wanted && result->outcome == serial::TransferOutcome::Completed && result->everythingAcknowledged &&
            link->isOpen()) {
            MessagesOnly messages(op);
            *readBack = compareWithGateway(*link, messages, *working, plc ? &*plc : nullptr);
        }
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
    // A read-back that failed has shown the upload's message; nothing is listed.
    if (*readBack_ && (*readBack_)->compared) readBackPanel_->showResult((*readBack_)->result);
    // The byte counts the download refreshed.
    project_ = *working_;
}

std::vector<StepReport> DownloadWindow::progressLines(int deviceType) const {
    return serial::downloadProgressLines(deviceType);
}

}  // namespace korvex::app
