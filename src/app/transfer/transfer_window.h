#pragma once
// The common form of the two serial transfer windows ("Download configuration"
// and "Upload Configuration "): a group frame with a title line, a status line,
// three step lines and four subnet lines, each step with a place for its tick,
// and the start button ("Download" or "Upload") beside "Exit".
//
// The window owns the transfer thread and, through it, the port: opened when
// the window opens, closed after a run that the transfer ends that way and
// reopened by its name on the next press, closed by "Exit". A run happens on
// the transfer thread; the window keeps painting, ticks its lines as the
// transfer reports them, and shows the transfer's messages and questions.
#include <QDialog>
#include <QPixmap>
#include <array>
#include <memory>
#include <string>

#include "app/qt_operator.h"
#include "app/transfer/transfer_thread.h"
#include "model/project.h"
#include "serial/port_open.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace korvex::app {

class TransferWindow : public QDialog {
    Q_OBJECT
public:
    ~TransferWindow() override;

    // The window's opening: the chosen port opened on the transfer thread. A
    // failure shows its message; false when the window must not open.
    bool openPort(const serial::SerialPorts& ports);

    // ---- For tests and scripted checks ----
    QPushButton* startButton() const { return start_; }
    QPushButton* exitButton() const { return exit_; }
    QString titleText() const;
    QString statusText() const;
    // Progress line `line` (serial/transfer_progress.h numbering): its text,
    // whether it shows and whether its tick shows.
    QString lineText(int line) const;
    bool lineShown(int line) const;
    bool tickShown(int line) const;
    bool running() const { return thread_->running(); }
    bool portOpen() { return thread_->portOpen(); }

signals:
    // A run has ended and the window shows its outcome.
    void runFinished();

public slots:
    void reject() override;

protected:
    TransferWindow(QWidget* parent, serial::TransferDirection direction, Project& project, UiServices& ui,
                   serial::PortOpener& opener);

    // Before a run, on the interface thread: take what the run needs and set up
    // the progress display.
    virtual void prepareRun() = 0;
    // The transfer itself, run on the transfer thread over the open port. Its
    // outcome is read by finishRun on the interface thread.
    virtual TransferJob makeJob() = 0;
    // On the interface thread after the job: apply the outcome to the project
    // and the window.
    virtual void finishRun() = 0;
    // The progress lines a gateway of this device type shows.
    virtual std::vector<StepReport> progressLines(int deviceType) const = 0;

    // Progress display. beginProgress: ticks cleared, the running title,
    // "Please wait...", subnet lines and ticks hidden.
    void beginProgress(const Text& runningTitle);
    void setTitle(const QString& text);
    void setStatus(const QString& text);
    // Shows the lines of the device type (texts, no ticks for lines not done).
    void showLines(int deviceType);
    // A part of a window of its own kind, between the progress frame and the buttons.
    void addBelowProgress(QWidget* widget);

    void closeEvent(QCloseEvent* event) override;

    Project& project_;
    QtOperator operator_;
    std::unique_ptr<TransferThread> thread_;

private:
    struct Line {
        QWidget* row = nullptr;
        QLabel* tick = nullptr;
        QLabel* text = nullptr;
    };
    static constexpr int kLineCount = 7;  // three steps, four subnets

    void onStart();
    void onStep(const StepReport& step);
    void onFinished();
    void setButtonsEnabled(bool enabled);

    serial::TransferDirection direction_;
    QVBoxLayout* layout_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* status_ = nullptr;
    std::array<Line, kLineCount> lines_{};
    QPixmap tick_;
    std::string portName_;  // the port opened last, reopened by later runs
    serial::SerialSettings settings_;
    QPushButton* start_ = nullptr;
    QPushButton* exit_ = nullptr;
    bool linesLaidOut_ = false;
};

}  // namespace korvex::app
