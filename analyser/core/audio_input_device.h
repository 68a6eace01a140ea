#pragma once

// A sound input device that fills queued buffers (QAudioSource in the
// program, a virtual device in the tests). Every call returns the device's
// error text, empty on success.

#include <string>

namespace tonewarden {

class DeviceListener;
struct WaveFormat;
struct WaveHeader;

class AudioInputDevice {
 public:
  virtual ~AudioInputDevice() = default;
  [[nodiscard]] virtual std::string Open(const WaveFormat& format, DeviceListener* listener) = 0;
  [[nodiscard]] virtual std::string Prepare(WaveHeader* header) = 0;
  [[nodiscard]] virtual std::string Unprepare(WaveHeader* header) = 0;
  [[nodiscard]] virtual std::string AddBuffer(WaveHeader* header) = 0;
  [[nodiscard]] virtual std::string Start() = 0;
  // The partly filled buffer comes back like a full one.
  [[nodiscard]] virtual std::string Stop() = 0;
  // Every queued buffer comes back.
  [[nodiscard]] virtual std::string Reset() = 0;
  [[nodiscard]] virtual std::string Close() = 0;
  [[nodiscard]] virtual bool IsOpen() const = 0;
};

}  // namespace tonewarden
