#pragma once
// "Serial Port Configuration" (Ctrl+P): the port list and the four line-setting
// lists (shown, but disabled: the gateway's configuration port runs at fixed
// settings). The port box also takes a typed device path, for example one under
// /dev/serial/by-id/. OK stores the choice into the run's SerialPorts; Cancel
// leaves them unchanged. The rules live in serial/port_choice.h.
#include <QDialog>

#include "serial/port_choice.h"

class QComboBox;
class QPushButton;

namespace korvex {
class Operator;
}

namespace korvex::app {

class PortDialog : public QDialog {
    Q_OBJECT
public:
    PortDialog(QWidget* parent, serial::SerialPorts& ports, serial::PortSource& source, int deviceKind,
               Operator& op);

    QComboBox* portBox() const { return port_; }
    QComboBox* baudBox() const { return baud_; }
    QComboBox* parityBox() const { return parity_; }
    QComboBox* dataBitsBox() const { return dataBits_; }
    QComboBox* stopBitsBox() const { return stopBits_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

public slots:
    void accept() override;

private:
    serial::SerialPorts& ports_;
    Operator& operator_;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QComboBox* parity_ = nullptr;
    QComboBox* dataBits_ = nullptr;
    QComboBox* stopBits_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace korvex::app
