#pragma once
// The debug-mode "Monitor/Modify" window: the gateway in its debug state
// reports every frame of its subnet over the serial port (19200 baud). The
// window reads the debug information first (firmware, subnet protocol ->
// layout), then shows each report as a row on top, keeps the last data in the
// " Read data" box, and has the next report answered with a write when "Send"
// accepted one. Rules, rows and the saved file are monitor::DebugSession's and
// the Send checks'; the pump runs on the window's worker thread.
#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "app/qt_operator.h"
#include "monitor/debug_session.h"
#include "monitor/monitor_reports.h"
#include "serial/port_open.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace korvex::app {

class MonitorWorker;

class DebugMonitorDialog : public QDialog {
    Q_OBJECT
public:
    DebugMonitorDialog(QWidget* parent, UiServices& ui, serial::PortOpener& opener);
    ~DebugMonitorDialog() override;

    // Opens the chosen port at 19200, reads the debug information and starts
    // the reports. False, after the message, when the window must not be shown.
    bool open(const serial::SerialPorts& ports);

    // ---- For tests and scripted checks ----
    const monitor::DebugInformation& information() const { return information_; }
    std::optional<monitor::DebugLayout> layout() const;
    QTableWidget* list() const { return list_; }
    QPlainTextEdit* readDataBox() const { return readData_; }
    QLineEdit* addressEdit() const { return address_; }
    QLineEdit* dataEdit() const { return data_; }
    QLabel* complaintField() const { return complaint_; }
    QPushButton* sendButton() const { return send_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* displayButton() const { return display_; }
    QPushButton* clearButton() const { return clear_; }
    QPushButton* stopDebugButton() const { return stopDebug_; }
    QPushButton* exitButton() const { return exit_; }
    bool pumpRunning() const;
    // A click on a row of the list (0 = top), as the mouse gives it.
    void clickRow(int row);

signals:
    // A report was handled (shown or not), after the window showed it.
    void reportHandled();

public slots:
    // Escape and the close box: "Stop debug and exit".
    void reject() override;

protected:
    // Enter does not close the window: the focus goes to the window itself.
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildColumns();
    void fitColumns();
    void startPump();
    void onReport(const monitor::DebugReport& report, bool displayed);
    void onSend();
    void onSave();
    void onDisplay();
    void onClear();
    void onExit();
    void onStopDebug();
    void finish();

    UiServices& ui_;
    QtOperator operator_;
    std::unique_ptr<MonitorWorker> worker_;
    monitor::DebugInformation information_;
    std::optional<monitor::DebugSession> session_;
    std::string savePath_;
    bool closing_ = false;

    QTableWidget* list_ = nullptr;
    QPlainTextEdit* readData_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* data_ = nullptr;
    QLabel* complaint_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* display_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* stopDebug_ = nullptr;
    QPushButton* exit_ = nullptr;
};

}  // namespace korvex::app
