#pragma once

// <chrono> itself is not included: its unit suffixes hold a character that code page 932 lacks,
// and the engine's sources are compiled for that code page. The clocks and durations come with
// <condition_variable>.
#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace velmo {

// A thread that calls a function at a fixed period until it is stopped. Stopping sets a flag,
// wakes the thread from its sleep and joins it: the thread always ends between two calls, never
// in the middle of one, and is never killed.
class PeriodicThread {
public:
  PeriodicThread() = default;
  ~PeriodicThread() { Stop(); }
  PeriodicThread(const PeriodicThread&) = delete;
  PeriodicThread& operator=(const PeriodicThread&) = delete;

  // Starts calling `tick` every `period`, the first time one period from now. False when a thread
  // runs already or none can be made.
  bool Start(std::function<void()> tick, std::chrono::milliseconds period) {
    if (thread.joinable()) return false;
    stopping = false;
    try {
      thread = std::thread([this, tick = std::move(tick), period] { Loop(tick, period); });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  // Returns once the thread has ended (at once when none runs). Called from the thread's own
  // tick it would wait for itself: it must not be.
  void Stop() {
    if (!thread.joinable()) return;
    {
      const std::lock_guard<std::mutex> lock(mutex);
      stopping = true;
    }
    wake.notify_all();
    thread.join();
  }

  bool Running() const { return thread.joinable(); }

private:
  void Loop(const std::function<void()>& tick, std::chrono::milliseconds period) {
    std::unique_lock<std::mutex> lock(mutex);
    auto next = std::chrono::steady_clock::now() + period;
    for (;;) {
      if (wake.wait_until(lock, next, [this] { return stopping; })) return;
      lock.unlock();
      tick();
      lock.lock();
      // The next tick keeps the pace from the last one; after a long stall it comes at once.
      next = std::max(next + period, std::chrono::steady_clock::now());
    }
  }

  std::thread thread;
  std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;
};

} // namespace velmo
