#pragma once

// Encodes a 16-bit PCM WAV file into raw MP3 frames (no tags) with LAME, in
// blocks of 442368 frames, and says which bit rates LAME takes for a target.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sonatra {

class C_mp3acm {
 public:
  // Raised before each block with the 1-based first frame over all frames;
  // a non-zero pCancel ends the encode after that block.
  using EncProgHandler = std::function<void(float pRate, std::int32_t& pCancel)>;

  // Candidate bit rates in list order (kbit/s).
  static const std::vector<int>& CandidateBitRates();

  C_mp3acm() = default;
  C_mp3acm(const C_mp3acm&) = delete;
  C_mp3acm& operator=(const C_mp3acm&) = delete;

  // The encoder is linked in, so there is nothing to register; kept for the form's start-up.
  void Init() {}
  void SetEncProg(EncProgHandler handler) { encProg_ = std::move(handler); }

  // The candidates LAME takes unchanged for 16-bit PCM at pFreq Hz in wave
  // mode pMode (2 mono, 3 stereo; any other mode: none).
  [[nodiscard]] static std::vector<int> BitRatesFor(std::int32_t pFreq, std::int32_t pMode);
  // Index in `rates` of pDefault, else 0 (the highest); -1 for an empty list.
  [[nodiscard]] static int SelectedIndex(const std::vector<int>& rates, int pDefault);

  // 1 when the whole file was encoded; on failure or cancel the target is deleted.
  [[nodiscard]] std::int32_t EncFromWavfile(const std::string& pSourceFN, const std::string& pTargetFN,
                                            std::int32_t pBitrate);

  [[nodiscard]] std::int32_t Canceled() const { return canceled_; }
  void SetCanceled(std::int32_t value) { canceled_ = value; }

 private:
  std::int32_t canceled_ = 0;
  EncProgHandler encProg_;
};

}  // namespace sonatra
