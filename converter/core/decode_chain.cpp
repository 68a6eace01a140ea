#include "core/decode_chain.h"

#include <set>

namespace sonatra {

std::optional<DecodeChain> NamedChain(const std::string& type, int attempt) {
  static const std::set<std::string> kMpegAudio = {"mp1", "mp2", "mpa"};
  static const std::set<std::string> kMpegSystem = {"mpg", "mpeg"};
  static const std::set<std::string> kAsf = {"wma", "asf", "wmv"};

  if (type == "mp3") return DecodeChain{"mp3", attempt == 0 ? "mp3float" : "mp3"};
  if (attempt != 0) return std::nullopt;  // only MP3 has a second decoder
  if (type == "wav" || type == "wmariff") return DecodeChain{"wav", ""};
  if (kMpegAudio.count(type)) return DecodeChain{"mp3", ""};
  if (kMpegSystem.count(type)) return DecodeChain{"mpeg", ""};
  if (kAsf.count(type)) return DecodeChain{"asf", ""};
  return std::nullopt;  // MIDI and everything else
}

}  // namespace sonatra
