#include "engine_thread.h"

namespace tonewarden {

EngineThread::EngineThread() : thread_([this] { Run(); }) {}

EngineThread::~EngineThread() { Quit(); }

void EngineThread::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void EngineThread::Quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void EngineThread::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return (queue_.empty() && !running_) || !thread_.joinable(); });
}

void EngineThread::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    if (queue_.empty()) break;  // quit with nothing left
    auto task = std::move(queue_.front());
    queue_.pop_front();
    running_ = true;
    lock.unlock();
    task();
    lock.lock();
    running_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
  idle_.notify_all();
}

}  // namespace tonewarden
