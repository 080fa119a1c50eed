#include "app/monitor/monitor_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cerrno>

#include "app/monitor/monitor_worker.h"
#include "app/monitor/report_list.h"
#include "app/qt_text.h"
#include "io/net_sockets.h"
#include "model/file_io.h"
#include "model/texts.h"
#include "monitor/monitor_port.h"
#include "monitor/send_checks.h"

namespace korvex::app {

DatagramSocketFactory udpSocketFactory() {
    return []() -> std::unique_ptr<net::DatagramSocket> { return io::UdpDatagramSocket::open(nullptr); };
}

MonitorDialog::MonitorDialog(QWidget* parent, UiServices& ui, serial::PortOpener& opener,
                             DatagramSocketFactory sockets)
    : QDialog(parent), ui_(ui), operator_(ui, this), sockets_(std::move(sockets)) {
    setObjectName(QStringLiteral("monitorDialog"));
    setWindowTitle(qtext(texts::MonitorWindowTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    list_ = makeReportList(this);
    address_ = new QLineEdit(fromUtf8(monitor::kInitialAddressText), this);
    address_->setObjectName(QStringLiteral("addressEdit"));
    address_->setMaximumWidth(80);
    data_ = new QLineEdit(fromUtf8(monitor::kInitialDataText), this);
    data_->setObjectName(QStringLiteral("dataEdit"));
    send_ = new QPushButton(qtext(texts::MonitorSend), this);
    send_->setObjectName(QStringLiteral("sendButton"));
    save_ = new QPushButton(qtext(texts::MonitorSaveContent), this);
    save_->setObjectName(QStringLiteral("saveButton"));
    display_ = new QPushButton(qtext(texts::MonitorStopDisplaying), this);
    display_->setObjectName(QStringLiteral("displayButton"));
    exit_ = new QPushButton(qtext(texts::ExitButton), this);
    exit_->setObjectName(QStringLiteral("exitButton"));
    for (QPushButton* b : {send_, save_, display_, exit_}) b->setAutoDefault(false);
    connect(send_, &QPushButton::clicked, this, &MonitorDialog::onSend);
    connect(save_, &QPushButton::clicked, this, &MonitorDialog::onSave);
    connect(display_, &QPushButton::clicked, this, &MonitorDialog::onDisplay);
    connect(exit_, &QPushButton::clicked, this, &MonitorDialog::reject);

    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(qtext(texts::MonitorAddressLabel), this));
    fields->addWidget(address_);
    fields->addSpacing(12);
    fields->addWidget(new QLabel(qtext(texts::MonitorDataLabel), this));
    fields->addWidget(data_, 1);
    fields->addWidget(send_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(display_);
    buttons->addStretch();
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    worker_ = std::make_unique<MonitorWorker>(opener, operator_);
    connect(worker_.get(), &MonitorWorker::pumpEnded, this, [this] {
        send_->setEnabled(true);
        // The serial port failed while reports were coming (unplugged).
        if (!closing_ && mode_ == monitor::MonitorMode::Serial && worker_->pumpEnd() == monitor::PumpEnd::LinkFailed)
            operator_.showMessage(Message{texts::MonitorPortOpenFailed, {}});
    });
}

MonitorDialog::~MonitorDialog() {
    closing_ = true;
    worker_.reset();
}

bool MonitorDialog::openSerial(const serial::SerialPorts& ports) {
    mode_ = monitor::MonitorMode::Serial;
    session_.emplace(*mode_);
    std::optional<Message> failure;
    worker_->openPort([&](serial::PortOpener& opener) {
        monitor::MonitorPortOpen opened = monitor::openMonitorPort(opener, ports);
        failure = opened.failure;
        serial::OpenedPort out;
        out.link = std::move(opened.link);
        out.name = opened.name;
        return out;
    });
    if (failure) {
        operator_.showMessage(*failure);
        return false;
    }
    buildColumns();
    startPump();
    return true;
}

bool MonitorDialog::openEthernet(bool searchAccepted, const std::string& gateway) {
    if (!searchAccepted) return false;
    mode_ = monitor::MonitorMode::Ethernet;
    session_.emplace(*mode_);
    gateway_ = gateway;
    buildColumns();
    startPump();
    return true;
}

bool MonitorDialog::pumpRunning() const { return worker_->pumpRunning(); }

void MonitorDialog::buildColumns() {
    const std::vector<monitor::MonitorColumn> columns = monitor::monitorColumns(*mode_);
    std::vector<Text> titles;
    for (const auto& c : columns) titles.push_back(c.title);
    setReportColumns(list_, titles, Qt::AlignHCenter);
    // The mode's widths, widened where this font needs more room for a title
    // or, in the status column, for the status texts ("Respond correctly" and
    // "Response timeout" must not both read "Respond...").
    const QFontMetrics titleMetrics = list_->horizontalHeader()->fontMetrics();
    const QFontMetrics cellMetrics = list_->fontMetrics();
    int statusWidth = 0;
    for (const Text& t : {texts::StatusRespondCorrectly, texts::StatusRespondAbnormally,
                          texts::StatusRespondIncorrectly, texts::StatusResponseTimeout})
        statusWidth = std::max(statusWidth, cellMetrics.horizontalAdvance(qtext(t)));
    int total = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        int width = std::max(columns[c].width, titleMetrics.horizontalAdvance(qtext(columns[c].title)) + 16);
        if (columns[c].title == texts::ColumnStatus) width = std::max(width, statusWidth + 16);
        list_->setColumnWidth(static_cast<int>(c), width);
        total += width;
    }
    list_->setMinimumWidth(total + list_->frameWidth() * 2 + list_->verticalScrollBar()->sizeHint().width());
    list_->setMinimumHeight(list_->verticalHeader()->defaultSectionSize() * 12);
}

void MonitorDialog::startPump() {
    ReportRelay::Callbacks callbacks;
    callbacks.serial = [this](const monitor::SerialMonitorReport& r) { onSerialReport(r); };
    callbacks.ethernet = [this](const monitor::EthernetMonitorReport& r) { onEthernetReport(r); };
    callbacks.writeSent = [this](const monitor::PendingWrite&) { onWriteDone(false); };
    callbacks.writeDropped = [this](const monitor::PendingWrite&) { onWriteDone(true); };
    auto relay = std::make_shared<ReportRelay>(this, std::move(callbacks));
    if (*mode_ == monitor::MonitorMode::Serial) {
        worker_->startPump([relay](std::unique_ptr<serial::ByteLink>& link, monitor::PumpControl& control) {
            if (!link) return monitor::PumpEnd::LinkFailed;
            return monitor::runSerialMonitor(*link, control, *relay);
        });
        return;
    }
    // The socket belongs to the worker: made, used and closed there.
    worker_->startPump([relay, sockets = sockets_, gateway = gateway_](std::unique_ptr<serial::ByteLink>&,
                                                                       monitor::PumpControl& control) {
        std::unique_ptr<net::DatagramSocket> socket = sockets ? sockets() : nullptr;
        if (!socket) return monitor::PumpEnd::StartFailed;
        return monitor::runEthernetMonitor(*socket, gateway, control, *relay);
    });
}

void MonitorDialog::apply(const monitor::MonitorUpdate& update) {
    ++reportsHandled_;
    if (update.clearList) list_->setRowCount(0);
    if (update.insertRow) {
        insertReportRow(list_, update.row, update.cells, Qt::AlignHCenter);
        list_->scrollToItem(list_->item(update.row, 0));
    }
    if (!update.record.empty() && session_->saving() && record_.isOpen() && !record_.append(update.record)) {
        // The disk is full or the file went away: the recording ends and says so.
        const int error = errno;
        const std::string path = record_.path();
        stopSaving();
        operator_.showMessage(fileErrorMessage(error, path, FileAction::Save));
    }
    emit reportHandled();
}

void MonitorDialog::onSerialReport(const monitor::SerialMonitorReport& report) {
    if (session_) apply(session_->show(report));
}

void MonitorDialog::onEthernetReport(const monitor::EthernetMonitorReport& report) {
    if (session_) apply(session_->show(report));
}

void MonitorDialog::onWriteDone(bool dropped) {
    send_->setEnabled(true);
    if (dropped && mode_ == monitor::MonitorMode::Serial)
        operator_.showMessage(Message{texts::MonitorPortReadFailed, {}});
}

void MonitorDialog::onSend() {
    if (!mode_) return;
    const monitor::MonitorSendCheck check =
        monitor::checkMonitorSend(address_->text().toLower().toStdString(), data_->text().toLower().toStdString());
    if (check.message) {
        operator_.showMessage(*check.message);
        return;
    }
    if (!check.write) return;
    if (!worker_->pumpRunning()) {
        // Ethernet: a stream that never started sends nothing and says nothing.
        if (mode_ == monitor::MonitorMode::Serial) operator_.showMessage(Message{texts::MonitorPortOpenFailed, {}});
        return;
    }
    // The next report is answered with the write; Send waits for that (or for
    // the write to be given up) before it takes another.
    send_->setEnabled(false);
    worker_->control().setPendingWrite(*check.write);
}

void MonitorDialog::onDisplay() {
    if (!session_) return;
    if (session_->togglePause()) list_->setRowCount(0);
    display_->setText(qtext(session_->pauseButtonText()));
}

void MonitorDialog::stopSaving() {
    record_.close();
    if (session_) session_->setSaving(false);
    save_->setText(qtext(texts::MonitorSaveContent));
}

void MonitorDialog::onSave() {
    if (!session_) return;
    if (session_->saving()) {
        stopSaving();
        return;
    }
    if (operator_.ask(Message{texts::MonitorSaveQuestion, {}}, Buttons::OkCancel) != Answer::Ok) {
        stopSaving();
        return;
    }
    const QString extension = qtext(texts::MonitorSaveFilter);
    const QString filter = extension + QStringLiteral(" (*") + extension + QLatin1Char(')');
    const QString path = ui_.saveFileNameWithSuffix(this, filter, extension.mid(1));
    if (path.isEmpty()) return;
    if (const std::optional<Message> failure = record_.open(toPathBytes(withDefaultSuffix(path, extension.mid(1))))) {
        operator_.showMessage(*failure);
        return;
    }
    session_->setSaving(true);
    save_->setText(qtext(session_->saveButtonText()));
}

void MonitorDialog::reject() {
    if (closing_) return;
    closing_ = true;
    // The Ethernet pump sends the stop frame as it ends; nothing goes to a
    // serial gateway.
    worker_->stopPump();
    stopSaving();
    QDialog::reject();
}

}  // namespace korvex::app
