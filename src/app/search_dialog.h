#pragma once
// "Seach Device": lists the gateways that answer the search and lets the user
// pick one. The search itself (passes, answers, enabling) is net::DeviceSearch;
// this window shows its state and forwards the timer, clicks and buttons.
#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>

#include "net/device_search.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace korvex::io {
class UdpDatagramSocket;
}

namespace korvex::app {

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    // Opens the search socket (local UDP port 10002) and starts the search:
    // broadcast passes on a 300 ms timer, or the fixed-address query at once.
    SearchDialog(QWidget* parent, net::EthernetTarget& target);
    ~SearchDialog() override;

    const net::DeviceSearch& search() const { return search_; }
    QTableWidget* table() const { return table_; }
    QPushButton* logInButton() const { return logIn_; }
    QPushButton* refurbishButton() const { return refurbish_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* statusLabel() const { return status_; }

    // A click in the list (tests call it directly).
    void clickRow(int row);

private:
    void onTimer();
    void onRefurbish();
    void showState();
    void startTimerIfSearching();

    std::unique_ptr<io::UdpDatagramSocket> socket_;
    std::string socketError_;
    net::DeviceSearch search_;
    QTimer timer_;
    QTableWidget* table_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* logIn_ = nullptr;
    QPushButton* refurbish_ = nullptr;
    size_t shownRows_ = static_cast<size_t>(-1);
};

}  // namespace korvex::app
