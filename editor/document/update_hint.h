#pragma once

#include <cstdint>

#include "doc_types.h"

namespace vantrell {

// Notices from a document to its views. Undo and redo send the code of the
// history record they ran (see edit_record.h) instead of one of these.
namespace hint {
inline constexpr std::uint32_t kOverwriteChar = 1;     // overwrite in the character pane
inline constexpr std::uint32_t kInsertChar = 2;        // insert in the character pane
inline constexpr std::uint32_t kDeleteByte = 3;        // one byte deleted
inline constexpr std::uint32_t kSecondDigit = 4;       // second hexadecimal digit
inline constexpr std::uint32_t kFirstDigitOverwrite = 5;
inline constexpr std::uint32_t kFirstDigitInsert = 6;
inline constexpr std::uint32_t kSelectionDeleted = 7;
inline constexpr std::uint32_t kBytesInserted = 8;
inline constexpr std::uint32_t kBytesReplaced = 9;
inline constexpr std::uint32_t kSelectionFilled = 10;
inline constexpr std::uint32_t kReloaded = 11;
inline constexpr std::uint32_t kCharacterSetChanged = 12;
inline constexpr std::uint32_t kSettingsChanged = 14;
inline constexpr std::uint32_t kEditStateChanged = 17;
inline constexpr std::uint32_t kInsertModeChanged = 18;
inline constexpr std::uint32_t kExtensionReselected = 15;
}  // namespace hint

struct UpdateHint {
  std::uint32_t code = 0;
  DocPos position = 0;  // where the change starts
  DocPos count = 0;     // bytes concerned
  DocPos caret = 0;     // where views put the caret (undo, redo, structure read)
  DocPos length = 0;    // the document length after the change
};

class CVantrellDoc;

// A view of a document; the document tells every registered view about changes.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // sender is the view that made the change, or nullptr (undo, redo, reload).
  virtual void OnDocumentUpdate(DocumentView* sender, const UpdateHint& hint) = 0;
};

}  // namespace vantrell
