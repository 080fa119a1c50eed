#include "app/monitor/firmware_version_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

FirmwareVersionDialog::FirmwareVersionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("firmwareVersionDialog"));
    setWindowTitle(qtext(texts::FirmwareChoiceTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    versions_ = new QComboBox(this);
    versions_->setObjectName(QStringLiteral("versionBox"));
    // The list positions are the generations' indexes.
    versions_->addItem(qtext(texts::FirmwareChoiceCurrent));
    versions_->addItem(qtext(texts::FirmwareChoiceOld));
    versions_->setCurrentIndex(monitor::firmwareGenerationIndex(monitor::FirmwareGeneration::FiveAndAbove));
    versions_->setMinimumWidth(180);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(qtext(texts::AppButtonOk), QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    cancel_ = buttons->addButton(qtext(texts::AppButtonCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(versions_);
    layout->addWidget(buttons);
}

void FirmwareVersionDialog::accept() {
    choice_ = monitor::firmwareGenerationAt(versions_->currentIndex());
    QDialog::accept();
}

}  // namespace korvex::app
