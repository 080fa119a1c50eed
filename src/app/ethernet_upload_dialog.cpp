#include "app/ethernet_upload_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"
#include "net/ethernet_transfer.h"

namespace korvex::app {

EthernetUploadDialog::EthernetUploadDialog(QWidget* parent, Project& project, std::string address, Operator& op)
    : QDialog(parent), project_(project), address_(std::move(address)), op_(op) {
    setWindowTitle(qtext(texts::EthernetUploadTitle));
    prompt_ = new QLabel(qtext(texts::EthernetUploadPrompt), this);
    auto* upload = new QPushButton(qtext(texts::UploadButton), this);
    upload->setDefault(true);
    auto* exit = new QPushButton(qtext(texts::ExitButton), this);
    connect(upload, &QPushButton::clicked, this, &EthernetUploadDialog::upload);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(upload);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addLayout(buttons);
}

void EthernetUploadDialog::upload() {
    if (!net::ethernetUpload(project_, socket_, address_, op_)) return;
    uploaded_ = true;
    prompt_->setText(qtext(texts::UploadSuccessful));
}

}  // namespace korvex::app
