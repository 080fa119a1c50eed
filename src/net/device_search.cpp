#include "net/device_search.h"

#include <algorithm>
#include <utility>

#include "model/texts/net_texts.h"

namespace korvex::net {

DeviceSearch::DeviceSearch(EthernetTarget& target, DatagramSocket* socket, std::string broadcastAddress)
    : target_(target), socket_(socket), broadcast_(std::move(broadcastAddress)), status_(texts::SearchStatusInitial) {}

void DeviceSearch::open() {
    fixed_ = target_.useFixedAddress;
    passes_ = 0;
    selected_ = -1;
    entries_.clear();
    rows_.clear();
    logInEnabled_ = false;
    if (!fixed_) {
        progress_ = 0;
        refurbishEnabled_ = false;
        timerRunning_ = true;
        return;
    }
    if (socket_ && socket_->sendTo(searchRequest(), target_.targetAddress, kGatewayPort)) {
        if (auto answer = socket_->receive(kSearchAnswerSize, kFixedReceiveTimeoutMs)) {
            if (auto device = decodeSearchAnswer(*answer, kFixedAnswerMinimum)) accept(std::move(*device), "1");
        }
    }
    rows_ = entries_;
    status_ = texts::SearchFinished;
    progress_ = 100;
    refurbishEnabled_ = true;
}

void DeviceSearch::accept(FoundDevice device, std::string indexText) {
    device.indexText = std::move(indexText);
    target_.remoteConfigAllowed = device.remoteConfigAllowed;
    entries_.push_back(std::move(device));
}

void DeviceSearch::finishBroadcast() {
    timerRunning_ = false;
    status_ = texts::SearchFinished;
    refurbishEnabled_ = true;
}

void DeviceSearch::pass() {
    if (fixed_ || !timerRunning_) return;
    if (++passes_ > kMaxPasses) {
        finishBroadcast();
        return;
    }
    progress_ = std::min(100, progress_ + kProgressStep);
    if (!socket_ || !socket_->sendTo(searchRequest(), broadcast_, kGatewayPort)) return;
    int running = 1;
    for (int n = 0; n < kMaxDatagramsPerPass; ++n) {
        auto datagram = socket_->receive(kSearchAnswerSize, kBroadcastReceiveTimeoutMs);
        if (!datagram || datagram->empty()) break;
        if (auto device = decodeSearchAnswer(*datagram, kBroadcastAnswerMinimum)) {
            accept(std::move(*device), searchIndexText(running));
            ++running;
        }
    }
    if (entries_.empty()) return;
    finishBroadcast();
    passes_ = kMaxPasses;
    progress_ = 100;
    rows_ = entries_;
}

void DeviceSearch::refurbish() {
    if (fixed_) {
        rows_ = entries_;
        return;
    }
    passes_ = 0;
    status_ = texts::SearchStatusRunning;
    rows_.clear();
    entries_.clear();
    progress_ = 0;
    refurbishEnabled_ = false;
    logInEnabled_ = false;
    selected_ = -1;
    timerRunning_ = true;
}

bool DeviceSearch::pick(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return false;
    selected_ = row;
    logInEnabled_ = true;
    target_.targetAddress = rows_[static_cast<size_t>(row)].ipText;
    return true;
}

void runSearch(DeviceSearch& search, Clock& clock) {
    search.open();
    std::int64_t due = clock.nowMs() + DeviceSearch::kPassPeriodMs;
    while (search.timerRunning()) {
        clock.sleepUntil(due);
        search.pass();
        due += DeviceSearch::kPassPeriodMs;
        if (due < clock.nowMs()) due = clock.nowMs();
    }
}

}  // namespace korvex::net
