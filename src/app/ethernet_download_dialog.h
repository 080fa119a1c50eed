#pragma once
// The Ethernet "Download configuration" window: "Download" runs the checks and
// writes the block (net::EthernetDownload); "Exit" offers the restart after a
// successful write. Every socket wait is bounded by its own time-out, so no
// worker thread outlives the window. With "Read back and compare" checked, a
// successful write is followed by a read of the same gateway into memory on a
// worker thread (its own connection, so the download's stays open for the
// restart), compared with the project; the window then shows "The gateway
// holds the project." or the differences.
#include <QDialog>
#include <string>

#include "app/ethernet_compare_run.h"
#include "io/net_sockets.h"
#include "net/ethernet_transfer.h"

class QLabel;
class QPushButton;

namespace korvex {
class Operator;
}

namespace korvex::app {

struct MappingProgramState;
class ReadBackPanel;

class EthernetDownloadDialog : public QDialog {
    Q_OBJECT
public:
    EthernetDownloadDialog(QWidget* parent, Project& project, MappingProgramState& mapping, const std::string& address,
                           Operator& op);

    QLabel* promptLabel() const { return prompt_; }
    ReadBackPanel* readBackPanel() const { return readBack_; }
    // Whether a read-back is in progress.
    bool readingBack() const { return compare_.running(); }
    void download();
    void reject() override;  // "Exit" and the close box; ignored during a read-back

signals:
    // A press of "Download" has ended, its read-back included.
    void runFinished();

private:
    void onReadBack(bool compared, const CompareResult& result);
    void setButtonsEnabled(bool enabled);

    Project& project_;
    MappingProgramState& mapping_;
    Operator& op_;
    std::string address_;
    io::TcpStreamSocket socket_;
    net::EthernetDownload transfer_;
    EthernetCompareRun compare_;
    QLabel* prompt_ = nullptr;
    QPushButton* download_ = nullptr;
    QPushButton* exit_ = nullptr;
    ReadBackPanel* readBack_ = nullptr;
};

}  // namespace korvex::app
