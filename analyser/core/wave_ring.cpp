#include "wave_ring.h"

#include <cstdlib>

namespace tonewarden {

CWaveRing::~CWaveRing() { Release(); }

void CWaveRing::Allocate(std::size_t bytes) {
  Release();
  // 16-byte alignment lets the packed kernel load frames directly.
  data = static_cast<std::uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
  current = data;
  size = bytes;
}

void CWaveRing::Release() {
  std::free(data);
  data = nullptr;
  current = nullptr;
  size = 0;
}

}  // namespace tonewarden
