#pragma once
// "Compare with Gateway...": the upload window's form and transfer thread, but
// the upload goes into memory and is compared with the open project (the core's
// compareWithGateway); the open project is only read. A run that compared
// emits `compared` with the result, which the main window shows in the
// differences window.
#include <memory>
#include <optional>

#include "app/transfer/transfer_window.h"
#include "compare/gateway_compare.h"
#include "mapping/plc_blocks.h"

namespace korvex::app {

class GatewayCompareWindow : public TransferWindow {
    Q_OBJECT
public:
    // `project` is read when a run starts, never written.
    GatewayCompareWindow(QWidget* parent, Project& project, const PlcBlocks* plc, UiServices& ui,
                         serial::PortOpener& opener);

signals:
    void compared(const korvex::CompareResult& result);

protected:
    void prepareRun() override;
    TransferJob makeJob() override;
    void finishRun() override;
    std::vector<StepReport> progressLines(int deviceType) const override;

private:
    std::optional<PlcBlocks> plc_;
    std::shared_ptr<const Project> working_;
    std::shared_ptr<GatewayComparison> result_ = std::make_shared<GatewayComparison>();
};

}  // namespace korvex::app
