#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrell {

// Conversions between the user's text encoding (code page 932, Shift-JIS as
// Windows extends it) and Unicode, through glibc's iconv "CP932".
namespace cp932 {

// The Unicode character of one CP932 code: a single byte, or a double-byte
// code with the lead byte high. 0 when the code has no character.
char16_t ToUnicode(std::uint16_t code);

// The CP932 code of one UTF-16 code unit converted alone: 0 (no mapping),
// a single byte, or a double-byte code (lead byte high). Built once.
std::uint16_t FromUnicode(char16_t unit);

// Whole texts. Conversion fails on a byte sequence or character that has no counterpart.
std::optional<std::u16string> DecodeText(const std::string& bytes);
std::optional<std::string> EncodeText(const std::u16string& text);

inline bool IsLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool IsTrailByte(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
inline bool IsPrintableAscii(std::uint8_t b) { return b >= 0x20 && b <= 0x7E; }
inline bool IsHalfWidthKana(std::uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

// The standard JIS X 0208 <-> Shift-JIS arithmetic (codes with the first byte high).
std::uint16_t ShiftJisToJis(std::uint16_t sjis);
std::uint16_t JisToShiftJis(std::uint16_t jis);

}  // namespace cp932
}  // namespace vantrell
