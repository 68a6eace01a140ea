#pragma once

// The periodic window tables (Hanning, Hamming, Blackman, in window-number
// order) of N single-precision values each.

#include <array>
#include <vector>

namespace tonewarden {

enum WindowFunction { kHanning = 0, kHamming = 1, kBlackman = 2, kRectangular = 3 };

class WindowTables {
 public:
  void Build(int n);
  void Free();
  [[nodiscard]] int size() const { return n_; }
  // Null for the rectangular window (and for unknown numbers).
  [[nodiscard]] const float* Table(int window) const;

 private:
  int n_ = 0;
  std::array<std::vector<float>, 3> tables_;
};

}  // namespace tonewarden
