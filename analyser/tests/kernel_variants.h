#pragma once

// Runs a test suite against both kernel variants ("x86 FPU" and "3DNow!").

#include <gtest/gtest.h>

#include "core/fft_kernel.h"

namespace tonewarden::test {

class KernelVariantTest : public ::testing::TestWithParam<int> {
 protected:
  [[nodiscard]] const FftKernel& kernel() const { return FftKernel::ForCpuType(GetParam()); }
};

inline std::string KernelName(const ::testing::TestParamInfo<int>& info) {
  return info.param == 0 ? "Fpu" : "Packed";
}

}  // namespace tonewarden::test
