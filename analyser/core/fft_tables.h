#pragma once

// The state both kernel variants share: window tables and transform tables
// for the size last initialised (0 before the first Init).

#include "real_fft.h"
#include "window_tables.h"

namespace tonewarden {

class FftTables {
 public:
  void Init(int n) {
    windows_.Build(n);
    transform_.Init(n);
    n_ = n;
  }
  void FreeWindows() { windows_.Free(); }
  void FreeTransform() {
    transform_.Free();
    n_ = 0;
  }
  [[nodiscard]] int size() const { return n_; }
  [[nodiscard]] const WindowTables& windows() const { return windows_; }
  [[nodiscard]] RealFft& transform() { return transform_; }

 private:
  int n_ = 0;
  WindowTables windows_;
  RealFft transform_;
};

}  // namespace tonewarden
