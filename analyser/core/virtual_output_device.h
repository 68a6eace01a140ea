#pragma once

// An output device without sound for tests and for drawing without playing:
// it queues written blocks and "plays" them when told to.

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "audio_output_device.h"

namespace tonewarden {

class VirtualOutputDevice final : public AudioOutputDevice {
 public:
  [[nodiscard]] std::string Open(const WaveFormat& format, DeviceListener* listener) override;
  [[nodiscard]] std::string Pause() override;
  [[nodiscard]] std::string Resume() override;
  [[nodiscard]] std::string Reset() override;
  [[nodiscard]] std::string Prepare(WaveHeader* header) override;
  [[nodiscard]] std::string Unprepare(WaveHeader* header) override;
  [[nodiscard]] std::string Write(WaveHeader* header) override;
  [[nodiscard]] std::string Close() override;
  [[nodiscard]] bool IsOpen() const override;

  // Plays up to n queued blocks unless paused; returns how many finished.
  int PlayBlocks(int n);
  [[nodiscard]] int QueuedCount() const;
  [[nodiscard]] bool IsPaused() const;
  // The data pointers of the queued blocks, oldest first.
  [[nodiscard]] std::vector<const unsigned char*> QueuedData() const;
  // The named call ("Open", "Pause", ...) fails with this text from now on.
  void FailOn(const std::string& call, const std::string& text);

 private:
  std::string Check(const std::string& call) const;
  void Notify(const std::vector<WaveHeader*>& done);

  mutable std::mutex mutex_;
  DeviceListener* listener_ = nullptr;
  bool open_ = false;
  bool paused_ = false;
  std::deque<WaveHeader*> queue_;
  std::map<std::string, std::string> failures_;
};

}  // namespace tonewarden
