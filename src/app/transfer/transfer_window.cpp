#include "app/transfer/transfer_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"
#include "serial/identification.h"
#include "serial/transfer_progress.h"

namespace korvex::app {

namespace {

constexpr int kTickSize = 16;

}  // namespace

TransferWindow::TransferWindow(QWidget* parent, serial::TransferDirection direction, Project& project,
                               UiServices& ui, serial::PortOpener& opener)
    : QDialog(parent), project_(project), operator_(ui, this), direction_(direction) {
    const bool download = direction == serial::TransferDirection::Download;
    setObjectName(download ? QStringLiteral("downloadWindow") : QStringLiteral("uploadWindow"));
    setWindowTitle(qtext(download ? texts::DownloadWindowTitle : texts::UploadWindowTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    tick_ = QIcon(QStringLiteral(":/icons/tick.svg")).pixmap(kTickSize, kTickSize);

    auto* frame = new QGroupBox(this);
    auto* frameLayout = new QVBoxLayout(frame);
    title_ = new QLabel(frame);
    title_->setObjectName(QStringLiteral("titleLine"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    status_ = new QLabel(frame);
    status_->setObjectName(QStringLiteral("statusLine"));
    frameLayout->addWidget(title_);
    frameLayout->addWidget(status_);
    for (int i = 0; i < kLineCount; ++i) {
        Line& line = lines_[static_cast<std::size_t>(i)];
        line.row = new QWidget(frame);
        auto* rowLayout = new QHBoxLayout(line.row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        line.tick = new QLabel(line.row);
        line.tick->setFixedSize(kTickSize, kTickSize);
        line.text = new QLabel(line.row);
        line.text->setObjectName(QStringLiteral("line%1").arg(i));
        line.text->setMinimumWidth(360);
        rowLayout->addWidget(line.tick);
        rowLayout->addWidget(line.text, 1);
        frameLayout->addWidget(line.row);
        line.row->setVisible(i < serial::progress_line::FirstSubnet);
    }
    frameLayout->addStretch();

    start_ = new QPushButton(qtext(download ? texts::DownloadButton : texts::UploadButton), this);
    start_->setObjectName(QStringLiteral("startButton"));
    start_->setDefault(true);
    exit_ = new QPushButton(qtext(texts::ExitButton), this);
    exit_->setObjectName(QStringLiteral("exitButton"));
    connect(start_, &QPushButton::clicked, this, &TransferWindow::onStart);
    connect(exit_, &QPushButton::clicked, this, &TransferWindow::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(exit_);

    layout_ = new QVBoxLayout(this);
    layout_->addWidget(frame, 1);
    layout_->addLayout(buttons);

    thread_ = std::make_unique<TransferThread>(opener, operator_, [this](const StepReport& s) { onStep(s); });
}

TransferWindow::~TransferWindow() { thread_.reset(); }

void TransferWindow::addBelowProgress(QWidget* widget) {
    // Above the buttons, which stay last.
    layout_->insertWidget(layout_->count() - 1, widget);
}

bool TransferWindow::openPort(const serial::SerialPorts& ports) {
    settings_ = ports.settings;
    const serial::OpenedPort opened = thread_->openPort(
        [&](serial::PortOpener& opener) { return serial::openTransferPort(opener, ports, direction_); });
    portName_ = opened.name;
    if (opened.failure) operator_.showMessage(*opened.failure, Icon::Warning);
    return !opened.closesWindow;
}

void TransferWindow::onStart() {
    if (thread_->running()) return;
    if (!thread_->portOpen()) {
        if (portName_.empty()) {
            operator_.showMessage(Message{texts::NoSerialPort, {}});
            return;
        }
        const serial::OpenedPort opened = thread_->openPort([&](serial::PortOpener& opener) {
            return serial::reopenTransferPort(opener, portName_, settings_);
        });
        if (opened.failure) {
            operator_.showMessage(*opened.failure, Icon::Warning);
            return;
        }
    }
    setButtonsEnabled(false);
    linesLaidOut_ = false;
    prepareRun();
    thread_->start(makeJob(), [this] { onFinished(); });
}

void TransferWindow::onFinished() {
    finishRun();
    setButtonsEnabled(true);
    emit runFinished();
}

void TransferWindow::onStep(const StepReport& step) {
    if (step.line == serial::progress_line::Status) {
        setTitle(QString());
        setStatus(qtext(step.text));
        return;
    }
    // The first completed step shows that the gateway was identified: its
    // lines appear, then each gets its tick as it completes.
    if (!linesLaidOut_) showLines(serial::deviceTypeForProject(project_));
    if (step.line < 0 || step.line >= kLineCount) return;
    Line& line = lines_[static_cast<std::size_t>(step.line)];
    line.text->setText(qtext(step.text));
    line.row->setVisible(true);
    line.tick->setPixmap(tick_);
}

void TransferWindow::beginProgress(const Text& runningTitle) {
    for (int i = 0; i < kLineCount; ++i) {
        Line& line = lines_[static_cast<std::size_t>(i)];
        line.tick->clear();
        if (i >= serial::progress_line::FirstSubnet) line.row->setVisible(false);
    }
    setTitle(qtext(runningTitle));
    setStatus(qtext(texts::PleaseWait));
}

void TransferWindow::showLines(int deviceType) {
    linesLaidOut_ = true;
    for (const StepReport& l : progressLines(deviceType)) {
        if (l.line < 0 || l.line >= kLineCount) continue;
        Line& line = lines_[static_cast<std::size_t>(l.line)];
        line.text->setText(qtext(l.text));
        line.row->setVisible(true);
    }
}

void TransferWindow::setTitle(const QString& text) { title_->setText(text); }
void TransferWindow::setStatus(const QString& text) { status_->setText(text); }

QString TransferWindow::titleText() const { return title_->text(); }
QString TransferWindow::statusText() const { return status_->text(); }

QString TransferWindow::lineText(int line) const {
    return line >= 0 && line < kLineCount ? lines_[static_cast<std::size_t>(line)].text->text() : QString();
}

bool TransferWindow::lineShown(int line) const {
    return line >= 0 && line < kLineCount && !lines_[static_cast<std::size_t>(line)].row->isHidden();
}

bool TransferWindow::tickShown(int line) const {
    if (line < 0 || line >= kLineCount) return false;
    const Line& l = lines_[static_cast<std::size_t>(line)];
    return !l.row->isHidden() && !l.tick->pixmap().isNull();
}

void TransferWindow::setButtonsEnabled(bool enabled) {
    start_->setEnabled(enabled);
    exit_->setEnabled(enabled);
}

void TransferWindow::reject() {
    // "Exit" closes the port and ends the window; not while a run is going on.
    if (thread_->running()) return;
    thread_->closePort();
    QDialog::reject();
}

void TransferWindow::closeEvent(QCloseEvent* event) {
    if (thread_->running()) {
        event->ignore();
        return;
    }
    thread_->closePort();
    QDialog::closeEvent(event);
}

}  // namespace korvex::app
