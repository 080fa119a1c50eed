#pragma once
// "Monitor/Modify": the gateway's Modbus transactions as they happen, over the
// serial port (115200 baud) or over UDP after the device search. Each report
// becomes a row (at most 151, then the list starts again), is recorded while
// saving, and is answered by the pump at once; "Send" has the next report
// answered with a write into the gateway's output memory.
//
// The pump runs on the window's worker thread (monitor_worker.h); the window
// only shows what monitor::MonitorSession makes of each report and forwards
// the buttons, so it never waits for the gateway.
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/qt_operator.h"
#include "monitor/monitor_session.h"
#include "monitor/record_file.h"
#include "net/net_link.h"
#include "serial/port_open.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace korvex::app {

class MonitorWorker;

// Makes the Monitor/Modify window's UDP socket, bound to local port 10002;
// called on the worker thread. Null when the port cannot be bound.
using DatagramSocketFactory = std::function<std::unique_ptr<net::DatagramSocket>()>;
// The real socket (io::UdpDatagramSocket).
DatagramSocketFactory udpSocketFactory();

class MonitorDialog : public QDialog {
    Q_OBJECT
public:
    MonitorDialog(QWidget* parent, UiServices& ui, serial::PortOpener& opener, DatagramSocketFactory sockets);
    ~MonitorDialog() override;

    // Serial mode: opens the chosen port at 115200 and starts the pump. False,
    // after the failure's message, when the window must not be shown.
    bool openSerial(const serial::SerialPorts& ports);
    // Ethernet mode after the device search: false when the search was
    // cancelled. Otherwise the stream to `gateway` starts; a socket that cannot
    // be opened or a start frame that cannot be sent leave the list empty
    // without a message.
    bool openEthernet(bool searchAccepted, const std::string& gateway);

    // ---- For tests and scripted checks ----
    std::optional<monitor::MonitorMode> mode() const { return mode_; }
    QTableWidget* list() const { return list_; }
    QLineEdit* addressEdit() const { return address_; }
    QLineEdit* dataEdit() const { return data_; }
    QPushButton* sendButton() const { return send_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* displayButton() const { return display_; }
    QPushButton* exitButton() const { return exit_; }
    bool pumpRunning() const;
    // Reports shown or handled so far (rows may have been emptied since).
    int reportsHandled() const { return reportsHandled_; }

signals:
    // A report was handled (shown or not), after the window showed it.
    void reportHandled();

public slots:
    // "Exit", Escape and the close box: stops the stream (Ethernet: the stop
    // frame) and closes the window.
    void reject() override;

private:
    void buildColumns();
    void startPump();
    void apply(const monitor::MonitorUpdate& update);
    void onSerialReport(const monitor::SerialMonitorReport& report);
    void onEthernetReport(const monitor::EthernetMonitorReport& report);
    void onWriteDone(bool dropped);
    void onSend();
    void onSave();
    void onDisplay();
    void stopSaving();

    UiServices& ui_;
    QtOperator operator_;
    DatagramSocketFactory sockets_;
    std::unique_ptr<MonitorWorker> worker_;
    std::optional<monitor::MonitorMode> mode_;
    std::optional<monitor::MonitorSession> session_;
    std::string gateway_;
    monitor::RecordFile record_;
    int reportsHandled_ = 0;
    bool closing_ = false;

    QTableWidget* list_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* data_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* display_ = nullptr;
    QPushButton* exit_ = nullptr;
};

}  // namespace korvex::app
