#pragma once
// "Ethernet configuration": search by broadcast, or query one typed address.
// The decision is net::applyEthernetConfig; this window only collects it.
#include <QDialog>

#include "net/ethernet_target.h"

class QCheckBox;
class QLineEdit;

namespace korvex::app {

class EthernetConfigDialog : public QDialog {
    Q_OBJECT
public:
    EthernetConfigDialog(QWidget* parent, net::EthernetTarget& target);

    QCheckBox* useSearchBox() const { return useSearch_; }
    QLineEdit* addressField() const { return address_; }

    void accept() override;
    void reject() override;

private:
    net::EthernetTarget& target_;
    QCheckBox* useSearch_ = nullptr;
    QLineEdit* address_ = nullptr;
};

}  // namespace korvex::app
