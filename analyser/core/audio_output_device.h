#pragma once

// A sound output device fed block by block (QAudioSink in the program, a
// virtual device in the tests). Every call returns the device's error text,
// empty on success.

#include <string>

namespace tonewarden {

class DeviceListener;
struct WaveFormat;
struct WaveHeader;

class AudioOutputDevice {
 public:
  virtual ~AudioOutputDevice() = default;
  [[nodiscard]] virtual std::string Open(const WaveFormat& format, DeviceListener* listener) = 0;
  [[nodiscard]] virtual std::string Pause() = 0;
  [[nodiscard]] virtual std::string Resume() = 0;
  // Every queued block comes back through the listener.
  [[nodiscard]] virtual std::string Reset() = 0;
  [[nodiscard]] virtual std::string Prepare(WaveHeader* header) = 0;
  [[nodiscard]] virtual std::string Unprepare(WaveHeader* header) = 0;
  // Queues a block for playing.
  [[nodiscard]] virtual std::string Write(WaveHeader* header) = 0;
  [[nodiscard]] virtual std::string Close() = 0;
  [[nodiscard]] virtual bool IsOpen() const = 0;
};

}  // namespace tonewarden
