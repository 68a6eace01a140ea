#pragma once

// The demuxer and decoder named for each kind of input, by attempt.

#include <optional>
#include <string>

namespace sonatra {

struct DecodeChain {
  std::string demuxer;  // FFmpeg input format name
  std::string decoder;  // FFmpeg decoder name; empty: the stream's usual decoder
};

// Attempt 0 and 1 for an input type from AudioTypeOf; none when the type has
// no chain for that attempt (the last resort is FFmpeg's own probing).
[[nodiscard]] std::optional<DecodeChain> NamedChain(const std::string& type, int attempt);

}  // namespace sonatra
