#pragma once
// The Ethernet "Upload configuration" window: each press of "Upload" reads the
// gateway's block and decodes it into the project (net::ethernetUpload).
#include <QDialog>
#include <string>

#include "io/net_sockets.h"
#include "model/project.h"

class QLabel;

namespace korvex {
class Operator;
}

namespace korvex::app {

class EthernetUploadDialog : public QDialog {
    Q_OBJECT
public:
    EthernetUploadDialog(QWidget* parent, Project& project, std::string address, Operator& op);

    QLabel* promptLabel() const { return prompt_; }
    // Whether some press replaced the project (the caller rebuilds tree and grid).
    bool uploaded() const { return uploaded_; }
    void upload();

private:
    Project& project_;
    std::string address_;
    Operator& op_;
    io::TcpStreamSocket socket_;
    QLabel* prompt_ = nullptr;
    bool uploaded_ = false;
};

}  // namespace korvex::app
