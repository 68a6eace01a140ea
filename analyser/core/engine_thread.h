#pragma once

// An engine's worker thread with its message queue: device notices are posted
// here and handled one at a time, in order.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tonewarden {

class EngineThread {
 public:
  EngineThread();
  ~EngineThread();
  EngineThread(const EngineThread&) = delete;
  EngineThread& operator=(const EngineThread&) = delete;

  void Post(std::function<void()> task);
  // Handles what is queued, then ends the thread.
  void Quit();
  // Returns once every task posted before the call has run.
  void WaitIdle();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::function<void()>> queue_;
  bool quit_ = false;
  bool running_ = false;
  std::thread thread_;
};

}  // namespace tonewarden
