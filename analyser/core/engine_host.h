#pragma once

// What an engine needs from the application: the busy flag, the position,
// the posted block-ready notice (never waited for) and message boxes.

#include <string>

namespace tonewarden {

class CWaveRing;

class EngineHost {
 public:
  virtual ~EngineHost() = default;
  [[nodiscard]] virtual bool IsBusy() const = 0;
  virtual void SetPosition(int tick) = 0;
  // Posted to the user-interface thread; ring is null while it is busy.
  virtual void PostBlockReady(CWaveRing* ring, int bytes) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace tonewarden
