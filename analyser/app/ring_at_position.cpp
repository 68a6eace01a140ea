#include "ring_at_position.h"

#include <cmath>

#include "core/engine_host.h"
#include "core/virtual_output_device.h"
#include "core/wave_play.h"

namespace tonewarden {

namespace {

// No user interface: messages are kept for the caller, posts are dropped.
class QuietHost final : public EngineHost {
 public:
  [[nodiscard]] bool IsBusy() const override { return false; }
  void SetPosition(int) override {}
  void PostBlockReady(CWaveRing*, int) override {}
  void ShowMessage(const std::string& text) override {
    if (message.empty()) message = text;
  }
  std::string message;
};

}  // namespace

std::string RingAtPosition::Fill(const std::string& path, double seconds, CWaveRing& ring, int& tick) {
  QuietHost host;
  VirtualOutputDevice device;
  WaveFormat format;
  CWavePlay play(host, device);
  if (!play.OpenStream(format, 120, 60, ring, path)) return host.message.empty() ? "cannot play" : host.message;
  tick = static_cast<int>(std::floor(seconds * 60 + 1e-9));
  const long long duration = play.DurationTicks();
  if (duration > 0 && tick > duration) {
    play.Close();
    return "--at lies after the end (" + std::to_string(duration / 60.0) + " s)";
  }
  // What the slider does: reset, pause, seek.
  play.ResetOutput();
  play.Pause();
  play.SeekTo(tick);
  play.Close();
  return {};
}

}  // namespace tonewarden
