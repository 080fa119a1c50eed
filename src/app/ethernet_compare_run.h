#pragma once
// A comparison with an Ethernet gateway on a thread of its own, so the window
// keeps painting while the connection waits: compareWithEthernetGateway over a
// connection made, used and closed on that thread, on a copy of the project
// taken when the run starts (the open project is never touched). The upload
// asks nothing; its messages are kept on the thread and shown through the
// window's Operator once the run has ended.
#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "compare/gateway_compare.h"
#include "mapping/plc_blocks.h"

class QThread;

namespace korvex {
class Operator;
}

namespace korvex::app {

class EthernetCompareRun : public QObject {
    Q_OBJECT
public:
    EthernetCompareRun(Operator& op, QObject* parent = nullptr);
    // Waits for a run still in progress (every wait of the connection is bounded).
    ~EthernetCompareRun() override;

    // Starts a run against the gateway at `address`; false while one is running.
    bool start(const Project& project, const std::string& address, const PlcBlocks* plc);
    bool running() const { return thread_ != nullptr; }

signals:
    // The run has ended and its messages were shown. `compared`: the upload read
    // everything and `result` holds the comparison.
    void finished(bool compared, const korvex::CompareResult& result);

private:
    struct Outcome;
    void onThreadFinished();

    Operator& op_;
    QThread* thread_ = nullptr;
    std::shared_ptr<Outcome> outcome_;
};

}  // namespace korvex::app
