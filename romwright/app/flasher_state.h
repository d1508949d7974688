// What the window's thread and the worker thread share.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace romwright {

// An event that stays set until the waiter clears it.
class ManualResetEvent {
  public:
    void set() {
        std::lock_guard lock(mutex_);
        set_ = true;
        changed_.notify_all();
    }
    void reset() {
        std::lock_guard lock(mutex_);
        set_ = false;
    }
    bool is_set() {
        std::lock_guard lock(mutex_);
        return set_;
    }
    // Waits until the event is set or `stop` is; true when the event is set.
    bool wait(const std::atomic<bool>& stop) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return set_ || stop.load(); });
        return set_;
    }
    void wake() {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

struct FlasherState {
    std::mutex mutex;  // guards port_name and rom_path
    std::string port_name = "COM1";
    std::string rom_path;
    std::atomic<unsigned> flags{0};
    uint32_t range_start = 0, range_end = 0;
    bool auto_close = false;
    ManualResetEvent start_event;
    std::atomic<bool> programmed_ok{false};
    std::atomic<int> last_percent{0};
    bool range_set = false;  // worker only
    std::atomic<bool> quitting{false};

    int exit_code() const { return programmed_ok ? 0 : 1; }
};

}  // namespace romwright
