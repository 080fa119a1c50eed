#pragma once
// The thread a serial transfer runs on, and the port it owns.
//
// The port belongs to this thread: it is opened, used and closed only here, so
// the transfer window keeps painting while frames go back and forth. The
// transfer's messages and questions are shown by the window's Operator on the
// interface thread and the answers come back (the transfer waits for them, as
// it would for a message box); step reports reach the window without waiting.
#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/operator.h"
#include "serial/port_open.h"

namespace korvex::app {

// An Operator for code that runs on the transfer thread: forwards everything to
// an Operator on the interface thread.
class ForwardingOperator : public Operator {
public:
    ForwardingOperator(QObject* interfaceContext, Operator& target, std::function<void(const StepReport&)> onStep,
                       const std::atomic<bool>& abandoned);

    void showMessage(const Message& message, Icon icon = Icon::Warning) override;
    Answer ask(const Message& question, Buttons buttons, Icon icon = Icon::Question) override;
    void stepDone(const StepReport& step) override;

    // Keys of the messages and questions of the current run, in order.
    const std::vector<std::string>& shownKeys() const { return shownKeys_; }
    void clearShown() { shownKeys_.clear(); }

private:
    QObject* context_;
    Operator& target_;
    std::function<void(const StepReport&)> onStep_;
    const std::atomic<bool>& abandoned_;
    std::vector<std::string> shownKeys_;
};

// What a transfer run does on the transfer thread: the link is the thread's
// open port (null when none is open).
using TransferJob = std::function<void(std::unique_ptr<serial::ByteLink>& link, ForwardingOperator& op)>;

class TransferThread : public QObject {
    Q_OBJECT
public:
    // `interfaceOperator` shows the transfer's messages; `onStep` receives its
    // step reports; both are called on the interface thread.
    TransferThread(serial::PortOpener& opener, Operator& interfaceOperator,
                   std::function<void(const StepReport&)> onStep, QObject* parent = nullptr);
    ~TransferThread() override;

    // Opens the port on the transfer thread (closing one still open) and waits
    // for the outcome. Only while no run is in progress.
    serial::OpenedPort openPort(std::function<serial::OpenedPort(serial::PortOpener&)> open);
    // Closes the port (waits). Only while no run is in progress.
    void closePort();
    // Whether the transfer thread holds an open, working port.
    bool portOpen();

    // Starts `job` on the transfer thread; `done` runs on the interface thread
    // when it has ended.
    void start(TransferJob job, std::function<void()> done);
    bool running() const { return running_; }
    // Keys of the messages and questions of the last run.
    std::vector<std::string> shownKeys() const;

private:
    template <typename F>
    auto callOnThread(F f);

    QThread thread_;
    QObject* worker_;  // lives on thread_; the context of the jobs
    QObject* relay_;   // lives on the interface thread; the context of the answers
    serial::PortOpener& opener_;
    std::unique_ptr<serial::ByteLink> link_;  // touched on thread_ only
    std::atomic<bool> abandoned_{false};
    bool running_ = false;
    std::unique_ptr<ForwardingOperator> operator_;
};

}  // namespace korvex::app
