#include "app/transfer/transfer_thread.h"

#include <QCoreApplication>

namespace korvex::app {

// ---------------------------------------------------------------- ForwardingOperator

ForwardingOperator::ForwardingOperator(QObject* interfaceContext, Operator& target,
                                       std::function<void(const StepReport&)> onStep,
                                       const std::atomic<bool>& abandoned)
    : context_(interfaceContext), target_(target), onStep_(std::move(onStep)), abandoned_(abandoned) {}

void ForwardingOperator::showMessage(const Message& message, Icon icon) {
    shownKeys_.emplace_back(message.id.key);
    if (abandoned_) return;
    QMetaObject::invokeMethod(
        context_, [&] { target_.showMessage(message, icon); }, Qt::BlockingQueuedConnection);
}

Answer ForwardingOperator::ask(const Message& question, Buttons buttons, Icon icon) {
    shownKeys_.emplace_back(question.id.key);
    // A window that goes away takes the cautious answer: No or Cancel when offered.
    const std::vector<Answer> offered = answersOf(buttons);
    Answer answer = offered.front();
    for (Answer a : offered)
        if (a == Answer::No || a == Answer::Cancel) answer = a;
    if (abandoned_) return answer;
    QMetaObject::invokeMethod(
        context_, [&] { return target_.ask(question, buttons, icon); }, Qt::BlockingQueuedConnection, &answer);
    return answer;
}

void ForwardingOperator::stepDone(const StepReport& step) {
    if (abandoned_) return;
    QMetaObject::invokeMethod(context_, [onStep = onStep_, step] { onStep(step); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- TransferThread

template <typename F>
auto TransferThread::callOnThread(F f) {
    using Result = decltype(f());
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(worker_, std::move(f), Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            worker_, [&] { result = f(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

TransferThread::TransferThread(serial::PortOpener& opener, Operator& interfaceOperator,
                               std::function<void(const StepReport&)> onStep, QObject* parent)
    : QObject(parent), worker_(new QObject), relay_(new QObject(this)), opener_(opener) {
    thread_.setObjectName(QStringLiteral("serialTransfer"));
    worker_->moveToThread(&thread_);
    thread_.start();
    operator_ = std::make_unique<ForwardingOperator>(relay_, interfaceOperator, std::move(onStep), abandoned_);
}

TransferThread::~TransferThread() {
    // Questions of a run still in progress take their cautious answer; its
    // waits are bounded, so it ends soon.
    abandoned_ = true;
    while (running_) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    callOnThread([this] { link_.reset(); });
    thread_.quit();
    thread_.wait();
    delete worker_;
}

serial::OpenedPort TransferThread::openPort(std::function<serial::OpenedPort(serial::PortOpener&)> open) {
    if (running_) return {};
    return callOnThread([&] {
        link_.reset();
        serial::OpenedPort opened = open(opener_);
        link_ = std::move(opened.link);
        return opened;
    });
}

void TransferThread::closePort() {
    if (running_) return;
    callOnThread([this] { link_.reset(); });
}

bool TransferThread::portOpen() {
    if (running_) return true;
    return callOnThread([this] { return link_ && link_->isOpen(); });
}

void TransferThread::start(TransferJob job, std::function<void()> done) {
    if (running_) return;
    running_ = true;
    operator_->clearShown();
    QMetaObject::invokeMethod(
        worker_,
        [this, job = std::move(job), done = std::move(done)] {
            job(link_, *operator_);
            QMetaObject::invokeMethod(
                relay_,
                [this, done] {
                    running_ = false;
                    if (!abandoned_) done();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

std::vector<std::string> TransferThread::shownKeys() const { return operator_->shownKeys(); }

}  // namespace korvex::app
