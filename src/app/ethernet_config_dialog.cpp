#include "app/ethernet_config_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

EthernetConfigDialog::EthernetConfigDialog(QWidget* parent, net::EthernetTarget& target)
    : QDialog(parent), target_(target) {
    setWindowTitle(qtext(texts::EthernetConfigTitle));
    useSearch_ = new QCheckBox(qtext(texts::EthernetUseSearch), this);
    useSearch_->setChecked(true);
    address_ = new QLineEdit(this);
    address_->setInputMask("000.000.000.000");
    address_->setText("0.0.0.0");
    address_->setEnabled(false);
    connect(useSearch_, &QCheckBox::toggled, this, [this](bool ticked) {
        address_->setEnabled(!ticked);
        target_.useFixedAddress = !ticked;
    });
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(qtext(texts::EthernetOk), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(qtext(texts::EthernetCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(useSearch_);
    layout->addWidget(new QLabel(qtext(texts::EthernetAddressLabel), this));
    layout->addWidget(address_);
    layout->addWidget(buttons);
}

void EthernetConfigDialog::accept() {
    // The input mask leaves blanks in unfilled parts: "127.0 .0  .5" reads 127.0.0.5.
    const QString typed = address_->text().remove(' ');
    net::applyEthernetConfig(target_, true, useSearch_->isChecked(), typed.toStdString());
    QDialog::accept();
}

void EthernetConfigDialog::reject() {
    net::applyEthernetConfig(target_, false, true, {});
    QDialog::reject();
}

}  // namespace korvex::app
