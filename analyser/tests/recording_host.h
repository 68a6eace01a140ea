#pragma once

// An application double for the engines: a busy flag to set, and the
// positions, block-ready posts and messages the engine produced.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "core/engine_host.h"

namespace tonewarden::test {

struct Post {
  CWaveRing* ring;
  int bytes;
};

class RecordingHost final : public EngineHost {
 public:
  [[nodiscard]] bool IsBusy() const override { return busy; }
  void SetPosition(int tick) override {
    std::lock_guard lock(mutex_);
    positions_.push_back(tick);
  }
  void PostBlockReady(CWaveRing* ring, int bytes) override {
    std::lock_guard lock(mutex_);
    posts_.push_back({ring, bytes});
  }
  void ShowMessage(const std::string& text) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(text);
  }
  std::vector<int> positions() {
    std::lock_guard lock(mutex_);
    return positions_;
  }
  std::vector<Post> posts() {
    std::lock_guard lock(mutex_);
    return posts_;
  }
  std::vector<std::string> messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }

  std::atomic<bool> busy = false;

 private:
  std::mutex mutex_;
  std::vector<int> positions_;
  std::vector<Post> posts_;
  std::vector<std::string> messages_;
};

}  // namespace tonewarden::test
