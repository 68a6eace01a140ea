#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace vantrell {

// A byte offset from the start of a document. Valid bytes are 0..length-1;
// the position equal to the length is the end (valid for seeking and inserting).
using DocPos = std::int32_t;

inline constexpr DocPos kMaxDocumentLength = std::numeric_limits<DocPos>::max();

// Bytes handed out by the block store; the caller owns them.
using Bytes = std::vector<std::uint8_t>;

enum class EditState : int { Browse = 0, Prohibited = 1, Editable = 2 };

enum class CharacterSet : int { Ascii = 0, ShiftJis = 1, Euc = 2, Unicode = 3, Ebcdic = 4, Ebcidk = 5 };

enum class ByteOrder : int { LittleEndian = 0, BigEndian = 1 };

enum class AddressBase : int { Decimal = 0, Hexadecimal = 1 };

}  // namespace vantrell
