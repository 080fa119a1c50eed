#include "app/search_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "io/net_sockets.h"
#include "model/texts.h"

namespace korvex::app {
namespace {

std::unique_ptr<io::UdpDatagramSocket> openSocket(std::string* error) { return io::UdpDatagramSocket::open(error); }

}  // namespace

SearchDialog::SearchDialog(QWidget* parent, net::EthernetTarget& target)
    : QDialog(parent),
      socket_(openSocket(&socketError_)),
      search_(target, socket_.get(), io::searchBroadcastAddress()) {
    setWindowTitle(qtext(texts::SearchTitle));
    table_ = new QTableWidget(0, 6, this);
    const Text headers[] = {texts::SearchColumnIndex, texts::SearchColumnModel,    texts::SearchColumnAddress,
                            texts::SearchColumnMac,   texts::SearchColumnFirmware, texts::SearchColumnRemote};
    const int widths[] = {43, 85, 125, 155, 75, 105};
    for (int c = 0; c < 6; ++c) {
        auto* item = new QTableWidgetItem(qtext(headers[c]));
        item->setTextAlignment(Qt::AlignCenter);
        table_->setHorizontalHeaderItem(c, item);
        table_->setColumnWidth(c, widths[c] + 30);
    }
    table_->verticalHeader()->hide();
    table_->setShowGrid(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setMinimumWidth(720);
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) { clickRow(row); });

    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    logIn_ = new QPushButton(qtext(texts::SearchLogIn), this);
    logIn_->setDefault(true);
    auto* cancel = new QPushButton(qtext(texts::SearchCancel), this);
    refurbish_ = new QPushButton(qtext(texts::SearchRefurbish), this);
    connect(logIn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(refurbish_, &QPushButton::clicked, this, &SearchDialog::onRefurbish);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refurbish_);
    buttons->addStretch();
    buttons->addWidget(logIn_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    timer_.setInterval(net::DeviceSearch::kPassPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &SearchDialog::onTimer);
    search_.open();
    startTimerIfSearching();
    showState();
}

SearchDialog::~SearchDialog() = default;

void SearchDialog::startTimerIfSearching() {
    if (search_.timerRunning()) timer_.start();
}

void SearchDialog::onTimer() {
    search_.pass();
    if (!search_.timerRunning()) timer_.stop();
    showState();
}

void SearchDialog::onRefurbish() {
    search_.refurbish();
    shownRows_ = static_cast<size_t>(-1);
    startTimerIfSearching();
    showState();
}

void SearchDialog::clickRow(int row) {
    if (search_.pick(row)) showState();
}

void SearchDialog::showState() {
    QString status = qtext(search_.status());
    // The search cannot hear answers when another program holds its port: say so.
    if (!search_.socketAvailable())
        status = qtext(Message{texts::SearchPortInUse, {std::to_string(net::kLocalUdpPort)}});
    status_->setText(status);
    progress_->setValue(search_.progress());
    logIn_->setEnabled(search_.logInEnabled());
    refurbish_->setEnabled(search_.refurbishEnabled());
    const auto& rows = search_.rows();
    if (rows.size() == shownRows_) return;
    shownRows_ = rows.size();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::string* texts[] = {&rows[r].indexText,    &rows[r].modelText,    &rows[r].ipText,
                                      &rows[r].macText,      &rows[r].firmwareText, &rows[r].remoteConfigText};
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem(fromUtf8(*texts[c]));
            item->setTextAlignment(Qt::AlignCenter);
            table_->setItem(static_cast<int>(r), c, item);
        }
    }
}

}  // namespace korvex::app
