#pragma once

#include <cstddef>

#include <sys/uio.h>

namespace vantrell {

// After a vectored read or write moved `done` bytes, drops them from the
// front of pieces[first..count): whole pieces are skipped and a partly moved
// one is shortened. Returns the index of the first piece with bytes left.
inline std::size_t ConsumeIovecs(iovec* pieces, std::size_t count, std::size_t first,
                                 std::size_t done) {
  while (first < count && done >= pieces[first].iov_len) done -= pieces[first++].iov_len;
  if (done > 0) {
    pieces[first].iov_base = static_cast<char*>(pieces[first].iov_base) + done;
    pieces[first].iov_len -= done;
  }
  return first;
}

}  // namespace vantrell
