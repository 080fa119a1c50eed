#include "app/ethernet_compare_run.h"

#include <QThread>
#include <vector>

#include "io/net_sockets.h"
#include "model/operator.h"

namespace korvex::app {

struct EthernetCompareRun::Outcome {
    GatewayComparison comparison;
    std::vector<ScriptedOperator::Shown> shown;
};

EthernetCompareRun::EthernetCompareRun(Operator& op, QObject* parent) : QObject(parent), op_(op) {}

EthernetCompareRun::~EthernetCompareRun() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
}

bool EthernetCompareRun::start(const Project& project, const std::string& address, const PlcBlocks* plc) {
    if (thread_) return false;
    auto working = std::make_shared<const Project>(project);
    std::optional<PlcBlocks> blocks;
    if (plc) blocks = *plc;
    outcome_ = std::make_shared<Outcome>();
    thread_ = QThread::create([working, address, blocks, outcome = outcome_] {
        io::TcpStreamSocket socket;
        ScriptedOperator collected;
        outcome->comparison =
            compareWithEthernetGateway(socket, address, collected, *working, blocks ? &*blocks : nullptr);
        outcome->shown = collected.shown();
    });
    thread_->setObjectName(QStringLiteral("ethernetCompare"));
    connect(thread_, &QThread::finished, this, &EthernetCompareRun::onThreadFinished);
    thread_->start();
    return true;
}

void EthernetCompareRun::onThreadFinished() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    const std::shared_ptr<Outcome> outcome = std::move(outcome_);
    for (const ScriptedOperator::Shown& s : outcome->shown) op_.showMessage(s.message);
    emit finished(outcome->comparison.compared, outcome->comparison.result);
}

}  // namespace korvex::app
