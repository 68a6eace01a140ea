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

}  // namespace vantrell
