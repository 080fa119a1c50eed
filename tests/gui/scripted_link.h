#pragma once
// A gateway stand-in for the monitor windows' tests, on real time and safe to
// use from two threads: the window's worker reads and writes it as a port, the
// test feeds report bytes and looks at what was sent. An optional responder
// answers what the window sends (the debug information request, for example).
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "serial/byte_link.h"
#include "serial/port_open.h"

namespace korvex::app {

using LinkBytes = std::vector<std::uint8_t>;

class ScriptedLink final : public serial::ByteLink {
public:
    // Called (on the sender's thread, without the lock) with every send; what
    // it returns arrives as the gateway's answer.
    using Responder = std::function<LinkBytes(const LinkBytes& sent)>;

    explicit ScriptedLink(Responder responder = {}) : responder_(std::move(responder)) {}

    // ---- the gateway's side (the test) ----
    void feed(const LinkBytes& bytes) {
        {
            std::lock_guard lock(mutex_);
            received_.insert(received_.end(), bytes.begin(), bytes.end());
        }
        changed_.notify_all();
    }
    // Everything sent so far, one entry per send call.
    std::vector<LinkBytes> sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::size_t sendCount() const {
        std::lock_guard lock(mutex_);
        return sent_.size();
    }
    void unplug() {
        {
            std::lock_guard lock(mutex_);
            open_ = false;
        }
        changed_.notify_all();
    }

    // ---- the port (the window's worker) ----
    bool send(std::span<const std::uint8_t> bytes) override {
        LinkBytes copy(bytes.begin(), bytes.end());
        {
            std::lock_guard lock(mutex_);
            if (!open_) return false;
            sent_.push_back(copy);
        }
        if (responder_) {
            const LinkBytes answer = responder_(copy);
            if (!answer.empty()) feed(answer);
        }
        return true;
    }
    std::size_t bytesWaiting() override {
        std::lock_guard lock(mutex_);
        return received_.size();
    }
    std::size_t read(std::span<std::uint8_t> out) override {
        std::lock_guard lock(mutex_);
        std::size_t n = 0;
        while (n < out.size() && !received_.empty()) {
            out[n++] = received_.front();
            received_.pop_front();
        }
        return n;
    }
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs),
                          [&] { return received_.size() >= count || !open_; });
        return received_.size();
    }
    void purge() override {
        std::lock_guard lock(mutex_);
        received_.clear();
    }
    std::int64_t nowMs() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - epoch_)
            .count();
    }
    bool isOpen() const override {
        std::lock_guard lock(mutex_);
        return open_;
    }

private:
    Responder responder_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::uint8_t> received_;
    std::vector<LinkBytes> sent_;
    bool open_ = true;
    std::chrono::steady_clock::time_point epoch_ = std::chrono::steady_clock::now();
};

// A port handed to the window while the test keeps the ScriptedLink behind it.
class SharedLink final : public serial::ByteLink {
public:
    explicit SharedLink(std::shared_ptr<serial::ByteLink> link) : link_(std::move(link)) {}
    bool send(std::span<const std::uint8_t> bytes) override { return link_->send(bytes); }
    std::size_t bytesWaiting() override { return link_->bytesWaiting(); }
    std::size_t read(std::span<std::uint8_t> out) override { return link_->read(out); }
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override {
        return link_->waitForBytes(count, timeoutMs);
    }
    void purge() override { link_->purge(); }
    std::int64_t nowMs() override { return link_->nowMs(); }
    bool isOpen() const override { return link_->isOpen(); }

private:
    std::shared_ptr<serial::ByteLink> link_;
};

// Opens the links it was given, in order, and notes every request; with none
// left (or a null one) the open fails at the stage given.
class ScriptedOpener final : public serial::PortOpener {
public:
    std::deque<std::shared_ptr<serial::ByteLink>> links;
    serial::PortOpenError::Stage failStage = serial::PortOpenError::Stage::Open;
    std::vector<serial::PortOpenRequest> requests;

    std::unique_ptr<serial::ByteLink> open(const serial::PortOpenRequest& request,
                                           serial::PortOpenError& error) override {
        std::lock_guard lock(mutex_);
        requests.push_back(request);
        std::shared_ptr<serial::ByteLink> link;
        if (!links.empty()) {
            link = links.front();
            links.pop_front();
        }
        if (!link) {
            error.stage = failStage;
            return nullptr;
        }
        return std::make_unique<SharedLink>(std::move(link));
    }

private:
    std::mutex mutex_;
};

}  // namespace korvex::app
