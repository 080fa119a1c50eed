#include "app/monitor/debug_monitor_dialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/monitor/monitor_worker.h"
#include "app/monitor/report_list.h"
#include "app/qt_text.h"
#include "model/texts.h"
#include "monitor/debug_entry.h"
#include "monitor/send_checks.h"
#include "monitor/record_file.h"

namespace korvex::app {

namespace {

QPushButton* makeButton(QWidget* parent, const Text& text, const char* name) {
    auto* button = new QPushButton(qtext(text), parent);
    button->setObjectName(QLatin1String(name));
    // No button takes Enter.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

DebugMonitorDialog::DebugMonitorDialog(QWidget* parent, UiServices& ui, serial::PortOpener& opener)
    : QDialog(parent), ui_(ui), operator_(ui, this) {
    setObjectName(QStringLiteral("debugMonitorDialog"));
    setWindowTitle(qtext(texts::MonitorWindowTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    list_ = makeReportList(this);
    list_->setMinimumSize(640, 300);
    connect(list_, &QTableWidget::cellClicked, this, [this](int row, int) { clickRow(row); });
    readData_ = new QPlainTextEdit(this);
    readData_->setObjectName(QStringLiteral("readDataBox"));
    readData_->setReadOnly(true);
    readData_->setMaximumHeight(readData_->fontMetrics().lineSpacing() * 4 + 12);
    address_ = new QLineEdit(fromUtf8(monitor::kInitialAddressText), this);
    address_->setObjectName(QStringLiteral("addressEdit"));
    address_->setMaximumWidth(80);
    data_ = new QLineEdit(fromUtf8(monitor::kInitialDataText), this);
    data_->setObjectName(QStringLiteral("dataEdit"));
    complaint_ = new QLabel(this);
    complaint_->setObjectName(QStringLiteral("complaintField"));
    QPalette red = complaint_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    complaint_->setPalette(red);

    send_ = makeButton(this, texts::MonitorSend, "sendButton");
    save_ = makeButton(this, texts::MonitorSaveContent, "saveButton");
    display_ = makeButton(this, texts::MonitorStopDisplaying, "displayButton");
    clear_ = makeButton(this, texts::MonitorClearData, "clearButton");
    stopDebug_ = makeButton(this, texts::MonitorStopDebugAndExit, "stopDebugButton");
    exit_ = makeButton(this, texts::ExitButton, "exitButton");
    connect(send_, &QPushButton::clicked, this, &DebugMonitorDialog::onSend);
    connect(save_, &QPushButton::clicked, this, &DebugMonitorDialog::onSave);
    connect(display_, &QPushButton::clicked, this, &DebugMonitorDialog::onDisplay);
    connect(clear_, &QPushButton::clicked, this, &DebugMonitorDialog::onClear);
    connect(stopDebug_, &QPushButton::clicked, this, &DebugMonitorDialog::onStopDebug);
    connect(exit_, &QPushButton::clicked, this, &DebugMonitorDialog::onExit);

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
    buttons->addWidget(clear_);
    buttons->addStretch();
    buttons->addWidget(stopDebug_);
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(new QLabel(qtext(texts::MonitorReadDataLabel), this));
    layout->addWidget(readData_);
    layout->addLayout(fields);
    layout->addWidget(complaint_);
    layout->addLayout(buttons);

    worker_ = std::make_unique<MonitorWorker>(opener, operator_);
    connect(worker_.get(), &MonitorWorker::pumpEnded, this, [this] { send_->setEnabled(true); });
}

DebugMonitorDialog::~DebugMonitorDialog() {
    closing_ = true;
    worker_.reset();
}

std::optional<monitor::DebugLayout> DebugMonitorDialog::layout() const {
    if (!session_) return std::nullopt;
    return session_->layout();
}

bool DebugMonitorDialog::pumpRunning() const { return worker_->pumpRunning(); }

bool DebugMonitorDialog::open(const serial::SerialPorts& ports) {
    const std::optional<std::string> name = serial::chosenPortName(ports);
    if (!name) {
        operator_.showMessage(Message{texts::MonitorPortOpenFailed, {}});
        return false;
    }
    std::optional<Message> failure;
    worker_->openPort([&](serial::PortOpener& opener) {
        serial::OpenedPort out;
        out.name = *name;
        out.link = serial::openFixedRatePort(opener, *name, monitor::kDebugBaud, failure);
        return out;
    });
    if (failure) {
        operator_.showMessage(*failure);
        return false;
    }
    monitor::DebugInformationCheck check;
    worker_->runAndWait([&check](std::unique_ptr<serial::ByteLink>& link, ForwardingOperator&) {
        if (link) check = monitor::readDebugInformation(*link);
    });
    information_ = check.information;
    if (check.failure || !check.layout) {
        operator_.showMessage(check.failure ? *check.failure : Message{texts::DebugProductMismatch, {}});
        return false;
    }
    session_.emplace(*check.layout);
    buildColumns();
    startPump();
    return true;
}

void DebugMonitorDialog::buildColumns() {
    std::vector<Text> titles;
    for (const monitor::DebugColumn& c : monitor::debugColumns(session_->layout())) titles.push_back(c.title);
    setReportColumns(list_, titles, Qt::AlignLeft);
    fitColumns();
}

void DebugMonitorDialog::fitColumns() {
    if (!session_) return;
    // Each column keeps its share of the list's width (in twelfths).
    const int width = list_->viewport()->width();
    const std::vector<monitor::DebugColumn> columns = monitor::debugColumns(session_->layout());
    for (std::size_t c = 0; c < columns.size(); ++c)
        list_->setColumnWidth(static_cast<int>(c), static_cast<int>(width * columns[c].twelfths / 12.0));
}

void DebugMonitorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitColumns();
}

void DebugMonitorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fitColumns();
}

void DebugMonitorDialog::startPump() {
    ReportRelay::Callbacks callbacks;
    callbacks.debug = [this](const monitor::DebugReport& r, bool displayed) { onReport(r, displayed); };
    auto relay = std::make_shared<ReportRelay>(this, std::move(callbacks));
    worker_->startPump([relay, layout = session_->layout()](std::unique_ptr<serial::ByteLink>& link,
                                                             monitor::PumpControl& control) {
        if (!link) return monitor::PumpEnd::LinkFailed;
        relay->watch(control);
        return monitor::runDebugMonitor(*link, layout, control, *relay);
    });
}

void DebugMonitorDialog::onReport(const monitor::DebugReport& report, bool displayed) {
    // A report the pump took while the display was stopped is neither shown
    // nor counted, even when "Continue to Display" was pressed since.
    if (!displayed) {
        emit reportHandled();
        return;
    }
    const monitor::DebugUpdate update = session_->show(report);
    if (update.insertRow) insertReportRow(list_, 0, update.cells, Qt::AlignLeft);
    if (update.readDataChanged) readData_->setPlainText(fromUtf8(session_->readDataText()));
    emit reportHandled();
}

void DebugMonitorDialog::clickRow(int row) {
    if (session_ && row >= 0 && session_->clickRow(static_cast<std::size_t>(row)))
        readData_->setPlainText(fromUtf8(session_->readDataText()));
}

void DebugMonitorDialog::onSend() {
    if (!session_) return;
    const monitor::DebugSendCheck check =
        monitor::checkDebugSend(address_->text().toStdString(), data_->text().toStdString());
    if (check.redField) complaint_->setText(qtext(*check.redField));
    else if (check.dataAccepted) complaint_->clear();
    if (check.message) {
        if (check.nonBlocking) {
            // The reports keep coming while this message is open.
            BoxRequest request;
            request.title = qtext(texts::AppShortName);
            request.text = qtext(*check.message);
            request.icon = BoxIcon::Warning;
            request.buttons = {qtext(texts::AppButtonOk)};
            ui_.showNotice(this, request);
        } else {
            operator_.showMessage(*check.message);
        }
        return;
    }
    if (!check.write) return;
    if (!worker_->pumpRunning()) {
        operator_.showMessage(Message{texts::DebugPortNotOpen, {}});
        return;
    }
    // Sent as the answer to the next report.
    worker_->control().setPendingWrite(*check.write);
}

void DebugMonitorDialog::onDisplay() {
    if (!session_) return;
    session_->toggleDisplay();
    worker_->control().setDisplaying(session_->displaying());
    display_->setText(qtext(session_->displayButtonText()));
}

void DebugMonitorDialog::onClear() {
    if (!session_) return;
    session_->clear();
    list_->setRowCount(0);
    readData_->clear();
}

void DebugMonitorDialog::onSave() {
    if (!session_) return;
    if (!session_->saving()) {
        const QString extension = qtext(texts::MonitorSaveFilter);
        const QString filter = extension + QStringLiteral(" (*") + extension + QLatin1Char(')');
        const QString path = ui_.saveFileNameWithSuffix(this, filter, extension.mid(1));
        if (path.isEmpty()) return;
        savePath_ = toPathBytes(withDefaultSuffix(path, extension.mid(1)));
        session_->setSaving(true);
        save_->setText(qtext(session_->saveButtonText()));
        return;
    }
    // "Stop Saving" writes the rows shown now, top to bottom.
    if (const std::optional<Message> failure = monitor::writeSavedFile(savePath_, session_->savedFileText()))
        operator_.showMessage(*failure);
    session_->setSaving(false);
    savePath_.clear();
    save_->setText(qtext(session_->saveButtonText()));
}

void DebugMonitorDialog::onExit() {
    if (closing_) return;
    finish();
}

void DebugMonitorDialog::onStopDebug() {
    if (closing_) return;
    // A gateway newer than 5.2 can be asked back into its configuration state.
    if (information_.asksBeforeLeaving() &&
        operator_.ask(Message{texts::DebugLeaveQuestion, {}}, Buttons::YesNo) == Answer::Yes)
        worker_->control().setLeaveOnStop(true);
    finish();
}

void DebugMonitorDialog::finish() {
    closing_ = true;
    // The pump ends the reporting (D2 01 F0 C3) and, when asked, the debug state.
    worker_->stopPump();
    QDialog::reject();
}

void DebugMonitorDialog::reject() { onStopDebug(); }

void DebugMonitorDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setFocus();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace korvex::app
