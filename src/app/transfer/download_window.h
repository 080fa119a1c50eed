#pragma once
// "Download configuration": writes the project into the gateway on "Download".
// The download runs on a copy of the project; what it refreshes on the way (the
// byte counts of subnet 1's commands) is taken back when it ends. With "Read
// back and compare" checked, a completed download is followed on the same port
// by an upload into memory, compared with what was sent; the window then shows
// "The gateway holds the project." or the differences.
#include <memory>
#include <optional>

#include "app/transfer/transfer_window.h"
#include "compare/gateway_compare.h"
#include "mapping/auto_mapping.h"
#include "mapping/plc_blocks.h"
#include "serial/download.h"

namespace korvex::app {

class ReadBackPanel;

class DownloadWindow : public TransferWindow {
    Q_OBJECT
public:
    // `plc`: the PLC data blocks when PLC address mode is on, else null.
    DownloadWindow(QWidget* parent, Project& project, const MappingState& mapping, const PlcBlocks* plc,
                   UiServices& ui, serial::PortOpener& opener);

    // How the last run ended (for tests and scripted checks).
    const serial::DownloadResult& lastResult() const { return *result_; }
    ReadBackPanel* readBackPanel() const { return readBackPanel_; }

protected:
    void prepareRun() override;
    TransferJob makeJob() override;
    void finishRun() override;
    std::vector<StepReport> progressLines(int deviceType) const override;

private:
    struct Shown {
        QString title;
        QString status;
    };

    MappingState mapping_;
    std::optional<PlcBlocks> plc_;
    std::shared_ptr<Project> working_;
    std::shared_ptr<serial::DownloadResult> result_ = std::make_shared<serial::DownloadResult>();
    // The last run's read-back (none: not asked for, or the download did not complete).
    std::shared_ptr<std::optional<GatewayComparison>> readBack_ =
        std::make_shared<std::optional<GatewayComparison>>();
    ReadBackPanel* readBackPanel_ = nullptr;
    Shown before_;
};

}  // namespace korvex::app
