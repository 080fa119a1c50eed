#include "app/monitor/monitor_worker.h"

#include <QEventLoop>

namespace korvex::app {

MonitorWorker::MonitorWorker(serial::PortOpener& opener, Operator& interfaceOperator, QObject* parent)
    : QObject(parent),
      thread_(std::make_unique<TransferThread>(opener, interfaceOperator, [](const StepReport&) {})),
      control_(std::make_shared<monitor::PumpControl>()),
      end_(std::make_shared<monitor::PumpEnd>(monitor::PumpEnd::Stopped)) {}

MonitorWorker::~MonitorWorker() {
    control_->requestStop();
    // The transfer thread waits for the job still running and closes the port.
    thread_.reset();
}

serial::OpenedPort MonitorWorker::openPort(std::function<serial::OpenedPort(serial::PortOpener&)> open) {
    return thread_->openPort(std::move(open));
}

void MonitorWorker::runAndWait(TransferJob job) {
    stopPump();
    QEventLoop loop;
    bool done = false;
    thread_->start(std::move(job), [&] {
        done = true;
        loop.quit();
    });
    // The windows keep painting; clicks and keys wait until the step is done,
    // so nothing starts a second exchange meanwhile.
    if (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void MonitorWorker::startPump(PumpJob job) {
    stopPump();
    control_ = std::make_shared<monitor::PumpControl>();
    pumpRunning_ = true;
    thread_->start(
        [job = std::move(job), control = control_, end = end_](std::unique_ptr<serial::ByteLink>& link,
                                                                 ForwardingOperator&) {
            *end = job(link, *control);
            link.reset();
        },
        [this] {
            pumpRunning_ = false;
            emit pumpEnded();
        });
}

void MonitorWorker::stopPump() {
    control_->requestStop();
    if (!pumpRunning_) return;
    QEventLoop loop;
    connect(this, &MonitorWorker::pumpEnded, &loop, &QEventLoop::quit);
    if (pumpRunning_) loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace korvex::app
