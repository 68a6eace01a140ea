#pragma once

// Receives a device's block-done (output) or buffer-filled (input) notices.
// Called from the device's side; implementations only queue the notice.

namespace tonewarden {

struct WaveHeader;

class DeviceListener {
 public:
  virtual ~DeviceListener() = default;
  virtual void OnBlockDone(WaveHeader* header) = 0;
};

}  // namespace tonewarden
