#pragma once

// Builds RIFF files byte by byte for tests, and reads them back.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sonatra::test {

using Bytes = std::vector<std::uint8_t>;

inline void Append32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void Append16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline std::uint32_t Read32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

inline Bytes Chunk(const char* id, const Bytes& body, bool pad = true) {
  Bytes b(id, id + 4);
  Append32(b, static_cast<std::uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (pad && (body.size() & 1)) b.push_back(0);
  return b;
}

inline Bytes FmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                     std::uint16_t bits) {
  Bytes b;
  Append16(b, tag);
  Append16(b, channels);
  Append32(b, rate);
  Append32(b, rate * channels * bits / 8);
  Append16(b, static_cast<std::uint16_t>(channels * bits / 8));
  Append16(b, bits);
  return b;
}

inline Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes b{'R', 'I', 'F', 'F'};
  Append32(b, static_cast<std::uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

// A canonical PCM file of the given sample bytes.
inline Bytes PcmWav(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                    const Bytes& samples) {
  return Riff({Chunk("fmt ", FmtBody(1, channels, rate, bits)), Chunk("data", samples)});
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes Samples16(const std::vector<std::int16_t>& values) {
  Bytes b;
  for (std::int16_t v : values) Append16(b, static_cast<std::uint16_t>(v));
  return b;
}

inline std::vector<std::int16_t> Values16(const Bytes& data, std::size_t from = 44) {
  std::vector<std::int16_t> v;
  for (std::size_t i = from; i + 1 < data.size(); i += 2)
    v.push_back(static_cast<std::int16_t>(data[i] | (data[i + 1] << 8)));
  return v;
}

}  // namespace sonatra::test
