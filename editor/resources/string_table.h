#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vantrell {

// Numbers of the editor's user-visible texts.
namespace ids {
inline constexpr int kMsgEnterDigits = 1000;
inline constexpr int kMsgInvalidAddress = 1003;
inline constexpr int kMsgEnterHex = 1004;
inline constexpr int kMsgBackupFailed = 1010;
inline constexpr int kMsgSaveFailed = 1018;
inline constexpr int kMsgReadFailed = 1020;
inline constexpr int kMsgNoFillData = 1021;
inline constexpr int kMsgRevertConfirm = 1022;
inline constexpr int kMsgNoFileName = 1027;
inline constexpr int kMsgLockedByOther = 1041;
inline constexpr int kMsgSameFileName = 1046;
inline constexpr int kMsgDiscardAll = 1035;
inline constexpr int kMsgMainWindowFailed = 1043;
inline constexpr int kMsgReadOnlyFile = 1047;
inline constexpr int kMsgSaveThisOne = 1053;
inline constexpr int kMsgNotFound = 1054;
inline constexpr int kMsgWriteFailed = 1059;
inline constexpr int kStrOpenNewFile = 1008;  // last line of the window list
inline constexpr int kStrFileChangedText = 6100;  // text of the changed-file question
// The framework's own texts.
inline constexpr int kStrReady = 57345;
inline constexpr int kMsgAskToSave = 61458;
inline constexpr int kStrAllFiles = 6030;
inline constexpr int kStrAppTitle = 57344;
// Document template: window title, document name, new-file base name, filter
// name, filter extension, file type id, file type name, separated by '\n'.
inline constexpr int kStrDocTemplate = 129;
}  // namespace ids

// The text of a string-table entry, UTF-8; empty for an unknown number.
std::string_view StringText(int id);

using FormatArg = std::variant<std::string, std::int64_t>;

// printf-like formatting of %s, %d, %u, %X and %x (with flags 0 and a width) and %%;
// a placeholder without an argument stays as it is.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args);

// The n-th '\n'-separated field of a string-table entry.
std::string_view StringField(int id, int field);

inline std::string FormatString(int id, std::initializer_list<FormatArg> args = {}) {
  return FormatText(StringText(id), args);
}

}  // namespace vantrell
