#include "window_tables.h"

#include <cmath>

namespace tonewarden {

void WindowTables::Build(int n) {
  Free();
  n_ = n;
  for (auto& t : tables_) t.resize(n);
  const long double pi = 4.0L * std::atan(1.0L);
  for (int i = 0; i < n; ++i) {
    // Periodic: the denominator is N, so Hanning is 0 at 0 and 1 at N/2.
    const long double c1 = std::cos(2.0L * pi * i / n);
    const long double c2 = std::cos(4.0L * pi * i / n);
    tables_[kHanning][i] = static_cast<float>((1.0L - c1) * 0.5L);
    tables_[kHamming][i] = static_cast<float>((25.0L - 21.0L * c1) * 0.021739130434782608L);
    tables_[kBlackman][i] = static_cast<float>(0.42L - 0.5L * c1 + 0.08L * c2);
  }
}

void WindowTables::Free() {
  n_ = 0;
  for (auto& t : tables_) std::vector<float>().swap(t);
}

const float* WindowTables::Table(int window) const {
  if (window < 0 || window > 2 || n_ == 0) return nullptr;
  return tables_[window].data();
}

}  // namespace tonewarden
