#include "cp932.h"

#include <array>
#include <cerrno>
#include <memory>
#include <vector>

#include <iconv.h>

namespace vantrell::cp932 {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; nullopt when any part cannot be converted.
  std::optional<std::string> Run(const char* in, std::size_t size) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    std::string out(size * 4 + 8, '\0');
    char* inPtr = const_cast<char*>(in);
    std::size_t inLeft = size;
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(handle_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
      return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  iconv_t handle_;
};

std::u16string FromUtf16Le(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                    static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  return text;
}

std::string ToUtf16Le(const std::u16string& text) {
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

// Code -> character for every single byte and every lead/trail pair.
const std::vector<char16_t>& DecodeTable() {
  static const std::vector<char16_t> table = [] {
    std::vector<char16_t> t(0x10000, 0);
    Converter convert("UTF-16LE", "CP932");
    auto put = [&](std::uint16_t code, const char* bytes, std::size_t n) {
      const auto out = convert.Run(bytes, n);
      if (out && out->size() == 2) t[code] = FromUtf16Le(*out)[0];
    };
    for (int b = 0; b < 0x100; ++b) {
      if (IsLeadByte(static_cast<std::uint8_t>(b))) continue;
      const char c = static_cast<char>(b);
      put(static_cast<std::uint16_t>(b), &c, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<std::uint8_t>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrailByte(static_cast<std::uint8_t>(trail))) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        put(static_cast<std::uint16_t>(lead << 8 | trail), pair, 2);
      }
    }
    return t;
  }();
  return table;
}

const std::vector<std::uint16_t>& EncodeTable() {
  static const std::vector<std::uint16_t> table = [] {
    std::vector<std::uint16_t> t(0x10000, 0);
    Converter convert("CP932", "UTF-16LE");
    for (std::uint32_t unit = 1; unit < 0x10000; ++unit) {
      if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // a surrogate alone is no character
      const char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
      const auto out = convert.Run(in, 2);
      if (!out || out->empty() || out->size() > 2) continue;
      t[unit] = out->size() == 1 ? static_cast<std::uint8_t>((*out)[0])
                                 : static_cast<std::uint16_t>(static_cast<std::uint8_t>((*out)[0]) << 8 |
                                                              static_cast<std::uint8_t>((*out)[1]));
    }
    return t;
  }();
  return table;
}

}  // namespace

char16_t ToUnicode(std::uint16_t code) { return DecodeTable()[code]; }

std::uint16_t FromUnicode(char16_t unit) { return EncodeTable()[unit]; }

std::optional<std::u16string> DecodeText(const std::string& bytes) {
  Converter convert("UTF-16LE", "CP932");
  const auto out = convert.Run(bytes.data(), bytes.size());
  if (!out) return std::nullopt;
  return FromUtf16Le(*out);
}

std::optional<std::string> EncodeText(const std::u16string& text) {
  const std::string bytes = ToUtf16Le(text);
  Converter convert("CP932", "UTF-16LE");
  return convert.Run(bytes.data(), bytes.size());
}

std::uint16_t ShiftJisToJis(std::uint16_t sjis) {
  unsigned c1 = sjis >> 8;
  unsigned c2 = sjis & 0xFF;
  c1 -= c1 <= 0x9F ? 0x70 : 0xB0;
  c1 <<= 1;
  if (c2 < 0x9F) {
    c1 -= 1;
    c2 -= c2 >= 0x80 ? 0x20 : 0x1F;
  } else {
    c2 -= 0x7E;
  }
  return static_cast<std::uint16_t>((c1 & 0xFF) << 8 | (c2 & 0xFF));
}

std::uint16_t JisToShiftJis(std::uint16_t jis) {
  const unsigned j1 = jis >> 8;
  const unsigned j2 = jis & 0xFF;
  const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
  const unsigned s2 = j2 + ((j1 & 1) ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
  return static_cast<std::uint16_t>((s1 & 0xFF) << 8 | (s2 & 0xFF));
}

}  // namespace vantrell::cp932
