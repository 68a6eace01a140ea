#include "fft_kernel.h"

#include "fpu_kernel.h"
#include "packed_kernel.h"

namespace tonewarden {

const FftKernel& FftKernel::ForCpuType(int cpuType) {
  static const FpuKernel fpu;
  static const PackedKernel packed;
  return cpuType == 1 ? static_cast<const FftKernel&>(packed) : fpu;
}

}  // namespace tonewarden
