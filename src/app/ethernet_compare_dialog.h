#pragma once
// "Compare with Gateway..." for an EtherNet/IP project: the Ethernet upload
// window's form, but each press of "Upload" reads the gateway into memory on a
// worker thread and compares it with the open project (EthernetCompareRun);
// the project is only read. A run that compared emits `compared`, which the
// main window shows in the differences window.
#include <QDialog>
#include <string>

#include "app/ethernet_compare_run.h"

class QLabel;
class QPushButton;

namespace korvex::app {

class EthernetCompareDialog : public QDialog {
    Q_OBJECT
public:
    // `project` is read when a run starts, never written.
    EthernetCompareDialog(QWidget* parent, const Project& project, const PlcBlocks* plc, std::string address,
                          Operator& op);

    QLabel* promptLabel() const { return prompt_; }
    QPushButton* uploadButton() const { return upload_; }
    bool running() const { return run_.running(); }
    void upload();
    // "Exit" and the close box; ignored while a run is in progress.
    void reject() override;

signals:
    void compared(const korvex::CompareResult& result);
    // A run has ended (compared or not).
    void runFinished();

private:
    void onFinished(bool compared, const CompareResult& result);

    const Project& project_;
    std::optional<PlcBlocks> plc_;
    std::string address_;
    EthernetCompareRun run_;
    QLabel* prompt_ = nullptr;
    QPushButton* upload_ = nullptr;
    QPushButton* exit_ = nullptr;
};

}  // namespace korvex::app
