#include "app/ethernet_download_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/mapping_commands.h"
#include "app/qt_text.h"
#include "app/read_back_panel.h"
#include "model/texts.h"

namespace korvex::app {

EthernetDownloadDialog::EthernetDownloadDialog(QWidget* parent, Project& project, MappingProgramState& mapping,
                                               const std::string& address, Operator& op)
    : QDialog(parent),
      project_(project),
      mapping_(mapping),
      op_(op),
      address_(address),
      transfer_(socket_, address),
      compare_(op) {
    setWindowTitle(qtext(texts::DownloadWindowTitle));
    prompt_ = new QLabel(qtext(texts::EthernetDownloadPrompt), this);
    readBack_ = new ReadBackPanel(this);
    download_ = new QPushButton(qtext(texts::DownloadButton), this);
    download_->setDefault(true);
    exit_ = new QPushButton(qtext(texts::ExitButton), this);
    connect(download_, &QPushButton::clicked, this, &EthernetDownloadDialog::download);
    connect(exit_, &QPushButton::clicked, this, &EthernetDownloadDialog::reject);
    connect(&compare_, &EthernetCompareRun::finished, this, &EthernetDownloadDialog::onReadBack);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(download_);
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(readBack_, 1);
    layout->addLayout(buttons);
}

void EthernetDownloadDialog::download() {
    if (compare_.running()) return;
    readBack_->clearResult();
    if (!transfer_.download(project_, mapping_.mapping, mapping_.plc.active(), op_)) {
        emit runFinished();
        return;
    }
    prompt_->setText(qtext(texts::DownloadSuccessful));
    // The project as written (the download refreshed its byte counts) against
    // what the gateway now gives back.
    if (readBack_->wanted() && compare_.start(project_, address_, mapping_.plc.active())) {
        setButtonsEnabled(false);
        return;
    }
    emit runFinished();
}

void EthernetDownloadDialog::onReadBack(bool compared, const CompareResult& result) {
    setButtonsEnabled(true);
    // A read-back that failed has shown the upload's message; nothing is listed.
    if (compared) readBack_->showResult(result);
    emit runFinished();
}

void EthernetDownloadDialog::setButtonsEnabled(bool enabled) {
    download_->setEnabled(enabled);
    exit_->setEnabled(enabled);
}

void EthernetDownloadDialog::reject() {
    if (compare_.running()) return;
    if (transfer_.exit(op_)) QDialog::reject();
}

}  // namespace korvex::app
