#pragma once

// In-place single-precision forward real FFT of N samples (N a power of two,
// at least 16). The samples are read as N/2 complex values, put in
// bit-reversed order, transformed by radix-8 passes with a final radix-4 or
// radix-2 pass, and untangled into the real spectrum. From N = 128 on the
// bit reversal is done by the first pass, and the passes in between keep the
// values in groups of four real and four imaginary parts (SSE).
//
// Output layout: [0] sum of all samples, [1] the Nyquist term, [2k] and
// [2k+1] the cosine and (negated) sine sums of bin k for k = 1 .. N/2-1.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tonewarden {

class RealFft {
 public:
  // Allocates the work area for size n; the tables follow with the first
  // transform. Another size releases the previous tables first.
  void Init(int n);
  void Free();
  [[nodiscard]] int size() const { return n_; }
  [[nodiscard]] bool TablesBuilt() const { return tablesBuilt_; }

  void Forward(float* data);

 private:
  struct Pass {
    int radix;       // 8, 4 or 2
    int span;        // length L of the sub-transforms it combines
    std::size_t tw;  // offset of its twiddles in twiddles_
  };

  void BuildTables();
  void Permute(float* data) const;
  void FirstPassReversed(float* data) const;
  void Untangle(float* data) const;

  int n_ = 0;
  bool tablesBuilt_ = false;
  std::vector<std::uint32_t> swaps_;  // bit-reversal swap pairs, or tile pairs of the first pass from N = 128 on
  std::vector<Pass> passes_;
  // Per pass in loop order. From N = 128 on, per four neighbouring q and each
  // r: four cos, then four sin. Below: per pair of q, (c,c,c',c') and (-s,s,-s',s').
  std::vector<float> twiddles_;
  std::vector<float> untangleCos_;    // cos of 2*pi*k/N for k = 0 .. N/4
  std::vector<float> untangleSin_;    // sin of 2*pi*k/N for k = 0 .. N/4
};

}  // namespace tonewarden
