#pragma once

// Converts one PCM WAV file into another with a chosen rate, width (8, 16,
// 24 bits) and channel count (1, 2), in blocks of five seconds of source.

#include <cstdint>
#include <functional>
#include <string>

namespace sonatra {

class C_ConvWave {
 public:
  // Raised once per block after it was written: the fraction of source frames
  // done, and a stop request the handler may set non-zero.
  using ProgHandler = std::function<void(float pRate, std::int32_t& pCancel)>;

  C_ConvWave() = default;
  C_ConvWave(const C_ConvWave&) = delete;
  C_ConvWave& operator=(const C_ConvWave&) = delete;

  void SetProg(ProgHandler handler) { prog_ = std::move(handler); }

  // 1 on success, 0 on failure or cancel (a target made by this call is then deleted).
  [[nodiscard]] std::int32_t ConvWave(const std::string& pSourceFN, const std::string& pTargetFN,
                                      std::int32_t pFreq, std::int16_t pBit, std::int16_t pCh,
                                      std::int32_t pFlg, std::int32_t HeadderExists);

  // -1 not a readable PCM WAV, 1 conversion needed, 0 not needed.
  [[nodiscard]] static std::int32_t NeedConv(const std::string& pFilename, std::int32_t pFreq,
                                             std::int16_t pBit, std::int16_t pCh,
                                             std::int32_t pWaveMode);

  [[nodiscard]] std::int32_t Canceled() const { return canceled_; }
  void SetCanceled(std::int32_t value) { canceled_ = value; }

 private:
  std::int32_t canceled_ = 0;
  ProgHandler prog_;
};

}  // namespace sonatra
