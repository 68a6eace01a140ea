#include "core/window_tables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tonewarden {
namespace {

double ClosedForm(int window, int i, int n) {
  const double c1 = std::cos(2 * M_PI * i / n), c2 = std::cos(4 * M_PI * i / n);
  switch (window) {
    case kHanning: return 0.5 * (1 - c1);
    case kHamming: return (25 - 21 * c1) / 46;
    default: return 0.42 - 0.5 * c1 + 0.08 * c2;
  }
}

TEST(WindowTables, MatchClosedFormsWithPeriodicDenominator) {
  for (int n : {16, 4096, 32768}) {
    WindowTables tables;
    tables.Build(n);
    for (int w : {kHanning, kHamming, kBlackman}) {
      const float* t = tables.Table(w);
      ASSERT_NE(t, nullptr);
      for (int i = 0; i < n; ++i) {
        ASSERT_NEAR(t[i], ClosedForm(w, i, n), 1e-7) << "window " << w << " n " << n << " i " << i;
      }
    }
    // Periodic: Hanning is exactly 0 at 0 and 1 at N/2; not symmetric about (N-1)/2.
    EXPECT_EQ(tables.Table(kHanning)[0], 0.0f);
    EXPECT_EQ(tables.Table(kHanning)[n / 2], 1.0f);
    EXPECT_FLOAT_EQ(tables.Table(kHamming)[0], 4.0f / 46.0f);
    EXPECT_NEAR(tables.Table(kBlackman)[0], 0.0f, 1e-7);
    EXPECT_EQ(tables.Table(kHanning)[1], tables.Table(kHanning)[n - 1]);
  }
}

TEST(WindowTables, RectangularAndUnknownHaveNoTable) {
  WindowTables tables;
  tables.Build(64);
  EXPECT_EQ(tables.Table(kRectangular), nullptr);
  EXPECT_EQ(tables.Table(-1), nullptr);
  tables.Free();
  EXPECT_EQ(tables.Table(kHanning), nullptr);
}

}  // namespace
}  // namespace tonewarden
