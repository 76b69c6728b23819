#pragma once
// A clock for the engine's asks to process pending input. While it prints, the engine
// asks millions of times a second, and reading the time at every ask took a fifth of
// the window's work on a derivation. Instead a thread of its own counts ticks every
// 20 ms while a command runs (and sleeps otherwise), and an ask only compares the
// count with the one it saw last: a load from memory.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class InputTicker {
 public:
  static constexpr int kIntervalMs = 20;

  // The one clock of the program.
  static InputTicker& Clock();

  // While at least one command runs, the count goes up every interval.
  void CommandStarted();
  void CommandEnded();
  std::uint32_t Ticks() const { return ticks_.load(std::memory_order_relaxed); }

  ~InputTicker();

 private:
  InputTicker() = default;
  void Run();

  std::atomic<std::uint32_t> ticks_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  int running_ = 0;  // commands running
  bool ending_ = false;
  std::thread thread_;  // started with the first command
};
