#include "app/ethernet_download_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/mapping_commands.h"
#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

EthernetDownloadDialog::EthernetDownloadDialog(QWidget* parent, Project& project, MappingProgramState& mapping,
                                               const std::string& address, Operator& op)
    : QDialog(parent), project_(project), mapping_(mapping), op_(op), transfer_(socket_, address) {
    setWindowTitle(qtext(texts::DownloadWindowTitle));
    prompt_ = new QLabel(qtext(texts::EthernetDownloadPrompt), this);
    auto* download = new QPushButton(qtext(texts::DownloadButton), this);
    download->setDefault(true);
    auto* exit = new QPushButton(qtext(texts::ExitButton), this);
    connect(download, &QPushButton::clicked, this, &EthernetDownloadDialog::download);
    connect(exit, &QPushButton::clicked, this, &EthernetDownloadDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(download);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addLayout(buttons);
}

void EthernetDownloadDialog::download() {
    if (transfer_.download(project_, mapping_.mapping, mapping_.plc.active(), op_))
        prompt_->setText(qtext(texts::DownloadSuccessful));
}

void EthernetDownloadDialog::reject() {
    if (transfer_.exit(op_)) QDialog::reject();
}

}  // namespace korvex::app
