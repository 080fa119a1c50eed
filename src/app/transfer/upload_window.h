#pragma once
// "Upload Configuration ": reads the gateway's configuration into the project on
// "Upload". The upload runs on a copy of the project; the project is replaced
// only when the upload got as far as replacing it (everything up to the command
// lists was read), and then projectReplaced tells the main window to rebuild
// its tree and grid.
#include <memory>
#include <optional>

#include "app/transfer/transfer_window.h"
#include "mapping/plc_blocks.h"
#include "serial/upload.h"

namespace korvex::app {

class UploadWindow : public TransferWindow {
    Q_OBJECT
public:
    UploadWindow(QWidget* parent, Project& project, const PlcBlocks* plc, UiServices& ui,
                 serial::PortOpener& opener);

    const serial::UploadResult& lastResult() const { return *result_; }

signals:
    void projectReplaced();

protected:
    void prepareRun() override;
    TransferJob makeJob() override;
    void finishRun() override;
    std::vector<StepReport> progressLines(int deviceType) const override;

private:
    std::optional<PlcBlocks> plc_;
    std::shared_ptr<Project> working_;
    std::shared_ptr<serial::UploadResult> result_ = std::make_shared<serial::UploadResult>();
};

}  // namespace korvex::app
