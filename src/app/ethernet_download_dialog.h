#pragma once
// The Ethernet "Download configuration" window: "Download" runs the checks and
// writes the block (net::EthernetDownload); "Exit" offers the restart after a
// successful write. Every socket wait is bounded by its own time-out, so no
// worker thread outlives the window.
#include <QDialog>
#include <string>

#include "io/net_sockets.h"
#include "net/ethernet_transfer.h"

class QLabel;
class QPushButton;

namespace korvex {
class Operator;
}

namespace korvex::app {

struct MappingProgramState;

class EthernetDownloadDialog : public QDialog {
    Q_OBJECT
public:
    EthernetDownloadDialog(QWidget* parent, Project& project, MappingProgramState& mapping, const std::string& address,
                           Operator& op);

    QLabel* promptLabel() const { return prompt_; }
    void download();
    void reject() override;  // "Exit" and the close box

private:
    Project& project_;
    MappingProgramState& mapping_;
    Operator& op_;
    io::TcpStreamSocket socket_;
    net::EthernetDownload transfer_;
    QLabel* prompt_ = nullptr;
};

}  // namespace korvex::app
