#pragma once
// The device search: the state behind the search window, as a machine the
// window's 300 ms timer (or runSearch on a clock) drives pass by pass.
//
// Broadcast mode: each pass sends the search request to the broadcast address
// and collects answers until one receive times out; the first pass that found
// gateways ends the search, and so does the sixth tick (five passes sent).
// Fixed-address mode: one query of the typed address when the search opens.
#include <cstdint>
#include <string>
#include <vector>

#include "model/texts/text.h"
#include "net/ethernet_target.h"
#include "net/net_link.h"
#include "net/search_answer.h"

namespace korvex::net {

// The product's broadcast destination, unless KORVEX_SEARCH_BROADCAST names another.
constexpr const char* kDefaultBroadcastAddress = "255.255.255.255";

class DeviceSearch {
public:
    static constexpr int kPassPeriodMs = 300;
    static constexpr int kMaxPasses = 5;
    static constexpr int kProgressStep = 20;
    static constexpr int kBroadcastReceiveTimeoutMs = 350;
    static constexpr int kFixedReceiveTimeoutMs = 1000;
    // Bounds one pass however many datagrams keep arriving.
    static constexpr int kMaxDatagramsPerPass = 1024;

    // socket nullptr: the local socket could not be made (port taken); the search
    // then runs its passes and ends with an empty list. broadcastAddress is the
    // destination of broadcast passes.
    DeviceSearch(EthernetTarget& target, DatagramSocket* socket, std::string broadcastAddress);

    // Set-up when the window opens: broadcast mode starts the timer; fixed-address
    // mode queries targetAddress at once and ends.
    void open();
    // One timer tick (broadcast mode).
    void pass();
    // "Refurbish".
    void refurbish();
    // A click in the list: a row index 0 or more that exists picks that gateway
    // (targetAddress := its address, "Iog In" enabled). Returns whether it did.
    bool pick(int row);

    bool fixedMode() const { return fixed_; }
    bool timerRunning() const { return timerRunning_; }
    bool socketAvailable() const { return socket_ != nullptr; }
    int passCount() const { return passes_; }
    int progress() const { return progress_; }
    const Text& status() const { return status_; }
    bool refurbishEnabled() const { return refurbishEnabled_; }
    bool logInEnabled() const { return logInEnabled_; }
    int selectedRow() const { return selected_; }
    // The rows the list shows (entries found, once a pass or the query listed them).
    const std::vector<FoundDevice>& rows() const { return rows_; }

private:
    void finishBroadcast();
    void accept(FoundDevice device, std::string indexText);

    EthernetTarget& target_;
    DatagramSocket* socket_;
    std::string broadcast_;
    bool fixed_ = false;
    bool timerRunning_ = false;
    int passes_ = 0;
    int progress_ = 0;
    Text status_;
    bool refurbishEnabled_ = false;
    bool logInEnabled_ = false;
    int selected_ = -1;
    std::vector<FoundDevice> entries_;
    std::vector<FoundDevice> rows_;
};

// Drives a broadcast search to its end: opens it and runs a pass at every 300 ms
// tick of the clock until the timer stops. A pass that overran its period is
// followed at once by the next (ticks do not pile up).
void runSearch(DeviceSearch& search, Clock& clock);

}  // namespace korvex::net
