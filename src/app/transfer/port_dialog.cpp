#include "app/transfer/port_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex::app {

namespace {

template <std::size_t N>
QComboBox* listBox(QWidget* parent, const char* name, const std::array<Text, N>& entries, int selected) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (const Text& t : entries) box->addItem(qtext(t));
    box->setCurrentIndex(selected >= 0 && selected < box->count() ? selected : 0);
    box->setEnabled(false);
    return box;
}

QString devicePathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

PortDialog::PortDialog(QWidget* parent, serial::SerialPorts& ports, serial::PortSource& source, int deviceKind,
                       Operator& op)
    : QDialog(parent), ports_(ports), operator_(op) {
    setObjectName(QStringLiteral("portDialog"));
    setWindowTitle(qtext(texts::PortDialogTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const serial::PortDialogView view = serial::openPortDialog(ports_, source, deviceKind);

    port_ = new QComboBox(this);
    port_->setObjectName(QStringLiteral("portBox"));
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->setMinimumContentsLength(28);
    for (const std::string& name : view.ports) port_->addItem(devicePathText(name));
    port_->setCurrentIndex(view.portSelection);
    if (view.portSelection < 0) port_->setEditText(QString());

    baud_ = listBox(this, "baudBox", serial::baudRateEntries(), view.baudIndex);
    parity_ = listBox(this, "parityBox", serial::parityEntries(), view.parityIndex);
    dataBits_ = listBox(this, "dataBitsBox", serial::dataBitsEntries(), view.dataBitsIndex);
    stopBits_ = listBox(this, "stopBitsBox", serial::stopBitsEntries(), view.stopBitsIndex);

    auto* form = new QFormLayout;
    form->addRow(qtext(texts::PortDialogPort), port_);
    form->addRow(qtext(texts::PortDialogBaudRate), baud_);
    form->addRow(qtext(texts::PortDialogParity), parity_);
    form->addRow(qtext(texts::PortDialogDataBits), dataBits_);
    form->addRow(qtext(texts::PortDialogStopBits), stopBits_);

    ok_ = new QPushButton(qtext(texts::PortDialogOk), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(qtext(texts::PortDialogCancel), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    connect(ok_, &QPushButton::clicked, this, &PortDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void PortDialog::accept() {
    serial::PortDialogChoice choice;
    choice.portSelection = port_->currentIndex();
    // The box's text differs from its selected entry when the user typed a path.
    const QString text = port_->currentText().trimmed();
    if (choice.portSelection < 0 || text != port_->itemText(choice.portSelection)) {
        choice.typedPath = toPathBytes(text);
        choice.portSelection = -1;
    }
    choice.baudIndex = baud_->currentIndex();
    choice.parityIndex = parity_->currentIndex();
    choice.dataBitsIndex = dataBits_->currentIndex();
    choice.stopBitsIndex = stopBits_->currentIndex();
    if (!serial::acceptPortDialog(ports_, choice)) {
        operator_.showMessage(Message{texts::PortPathInvalid, {choice.typedPath}});
        return;
    }
    QDialog::accept();
}

}  // namespace korvex::app
