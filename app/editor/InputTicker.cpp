#include "editor/InputTicker.h"

#include <chrono>

InputTicker& InputTicker::Clock() {
  static InputTicker clock;
  return clock;
}

void InputTicker::CommandStarted() {
  std::lock_guard lock(mutex_);
  if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  ++running_;
  wake_.notify_one();
}

void InputTicker::CommandEnded() {
  std::lock_guard lock(mutex_);
  --running_;
}

InputTicker::~InputTicker() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void InputTicker::Run() {
  std::unique_lock lock(mutex_);
  while (!ending_) {
    if (running_ == 0) {
      wake_.wait(lock, [this] { return ending_ || running_ > 0; });
      continue;
    }
    wake_.wait_for(lock, std::chrono::milliseconds(kIntervalMs), [this] { return ending_; });
    ticks_.fetch_add(1, std::memory_order_relaxed);
  }
}
