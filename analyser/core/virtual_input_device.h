#pragma once

// An input device without a sound card for tests: fills queued buffers with
// frames from a generator when told to.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "audio_input_device.h"

namespace tonewarden {

class VirtualInputDevice final : public AudioInputDevice {
 public:
  // Frame number (counted from the device's first captured frame) to (left, right).
  using Generator = std::function<std::pair<std::int16_t, std::int16_t>(std::int64_t)>;

  VirtualInputDevice();
  [[nodiscard]] std::string Open(const WaveFormat& format, DeviceListener* listener) override;
  [[nodiscard]] std::string Prepare(WaveHeader* header) override;
  [[nodiscard]] std::string Unprepare(WaveHeader* header) override;
  [[nodiscard]] std::string AddBuffer(WaveHeader* header) override;
  [[nodiscard]] std::string Start() override;
  [[nodiscard]] std::string Stop() override;
  [[nodiscard]] std::string Reset() override;
  [[nodiscard]] std::string Close() override;
  [[nodiscard]] bool IsOpen() const override;

  void SetGenerator(Generator generator);
  // While started: fills and returns up to n buffers; returns how many.
  int CaptureBlocks(int n);
  // While started: puts `bytes` into the oldest buffer without returning it.
  void CapturePartial(std::uint32_t bytes);
  [[nodiscard]] int QueuedCount() const;
  [[nodiscard]] bool IsStarted() const;
  void FailOn(const std::string& call, const std::string& text);

 private:
  std::string Check(const std::string& call) const;
  void Fill(WaveHeader* header, std::uint32_t bytes);
  void Notify(const std::deque<WaveHeader*>& done);

  mutable std::mutex mutex_;
  DeviceListener* listener_ = nullptr;
  bool open_ = false;
  bool started_ = false;
  std::int64_t frame_ = 0;
  Generator generator_;
  std::deque<WaveHeader*> queue_;
  std::map<std::string, std::string> failures_;
};

}  // namespace tonewarden
