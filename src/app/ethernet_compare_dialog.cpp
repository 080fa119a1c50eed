#include "app/ethernet_compare_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

EthernetCompareDialog::EthernetCompareDialog(QWidget* parent, const Project& project, const PlcBlocks* plc,
                                             std::string address, Operator& op)
    : QDialog(parent), project_(project), address_(std::move(address)), run_(op) {
    if (plc) plc_ = *plc;
    setWindowTitle(qtext(texts::MenuCompareWithGateway));
    prompt_ = new QLabel(qtext(texts::EthernetUploadPrompt), this);
    upload_ = new QPushButton(qtext(texts::UploadButton), this);
    upload_->setDefault(true);
    exit_ = new QPushButton(qtext(texts::ExitButton), this);
    connect(upload_, &QPushButton::clicked, this, &EthernetCompareDialog::upload);
    connect(exit_, &QPushButton::clicked, this, &EthernetCompareDialog::reject);
    connect(&run_, &EthernetCompareRun::finished, this, &EthernetCompareDialog::onFinished);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(upload_);
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addLayout(buttons);
}

void EthernetCompareDialog::upload() {
    if (!run_.start(project_, address_, plc_ ? &*plc_ : nullptr)) return;
    upload_->setEnabled(false);
    exit_->setEnabled(false);
    prompt_->setText(qtext(texts::UploadRunning));
}

void EthernetCompareDialog::onFinished(bool compared, const CompareResult& result) {
    upload_->setEnabled(true);
    exit_->setEnabled(true);
    prompt_->setText(qtext(compared ? texts::UploadSuccessful : texts::EthernetUploadPrompt));
    if (compared) emit this->compared(result);
    emit runFinished();
}

void EthernetCompareDialog::reject() {
    if (run_.running()) return;
    QDialog::reject();
}

}  // namespace korvex::app
