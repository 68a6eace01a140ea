#pragma once

// Decodes one media file to a PCM WAV file at the source's rate and channel
// count, 16-bit (24-bit when the source carries more than 16 bits).

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace sonatra {

class C_DecodeAudio {
 public:
  // Called between packets with the fraction of the input read so far; the
  // handler may call StopProc.
  using ProgHandler = std::function<void(float pRate)>;

  C_DecodeAudio() = default;
  C_DecodeAudio(const C_DecodeAudio&) = delete;
  C_DecodeAudio& operator=(const C_DecodeAudio&) = delete;

  void SetProg(ProgHandler handler) { prog_ = std::move(handler); }

  // 1 when the whole input was decoded into pTargetFN; 0 on failure or
  // cancel, and the partial target is then deleted.
  [[nodiscard]] std::int32_t DecodeAudio(const std::string& pSourceFN, const std::string& pTargetFN);
  // Cancels; safe from another thread. The decode ends at its next packet.
  void StopProc() { canceled_ = 1; }
  [[nodiscard]] std::int32_t Canceled() const { return canceled_; }

 private:
  std::atomic<std::int32_t> canceled_{0};
  ProgHandler prog_;
};

}  // namespace sonatra
