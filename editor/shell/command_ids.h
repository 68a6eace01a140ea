#pragma once

namespace vantrell::cmd {

// Command numbers: stored in settings, key tables and tool bar lists.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kRecentFileFirst = 57616;
inline constexpr int kRecentFileLast = 57631;
inline constexpr int kAppExit = 57665;
inline constexpr int kSaveAndClose = 32772;
inline constexpr int kCloseAll = 32773;
inline constexpr int kSaveAll = 32774;
inline constexpr int kDiscardAll = 32775;
inline constexpr int kSaveAllAndExit = 32776;
inline constexpr int kDiscardAllAndExit = 32777;

inline constexpr int kWindowNew = 57648;
inline constexpr int kWindowArrange = 57649;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTileHorizontal = 57651;
inline constexpr int kWindowTileVertical = 57652;
inline constexpr int kNextWindow = 32839;
inline constexpr int kWindowList = 32840;

inline constexpr int kCharSetAscii = 32851;
inline constexpr int kCharSetShiftJis = 32852;
inline constexpr int kCharSetEuc = 32853;
inline constexpr int kCharSetUnicode = 32854;
inline constexpr int kCharSetEbcdic = 32856;
inline constexpr int kCharSetEbcidk = 32857;
inline constexpr int kByteOrderLittle = 32859;
inline constexpr int kByteOrderBig = 32860;

}  // namespace vantrell::cmd

namespace vantrell::cmd {

inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditPaste = 57637;

}  // namespace vantrell::cmd

namespace vantrell::cmd {

inline constexpr int kCursorLeft = 32778;
inline constexpr int kCursorRight = 32779;
inline constexpr int kCursorUp = 32780;
inline constexpr int kCursorDown = 32781;
inline constexpr int kDataStart = 32782;
inline constexpr int kDataEnd = 32783;
inline constexpr int kLineStart = 32784;
inline constexpr int kLineEnd = 32785;
inline constexpr int kFastUp = 32786;
inline constexpr int kFastDown = 32787;
inline constexpr int kPageUp = 32788;
inline constexpr int kPageDown = 32789;
inline constexpr int kHalfPageUp = 32790;
inline constexpr int kHalfPageDown = 32791;
inline constexpr int kLineUp = 32792;
inline constexpr int kLineDown = 32793;
inline constexpr int kSelectionMode = 32796;
inline constexpr int kSelectLeft = 32797;
inline constexpr int kSelectRight = 32798;
inline constexpr int kSelectUp = 32799;
inline constexpr int kSelectDown = 32800;
inline constexpr int kSelectToDataStart = 32801;
inline constexpr int kSelectToDataEnd = 32802;
inline constexpr int kSelectToLineStart = 32803;
inline constexpr int kSelectToLineEnd = 32804;
inline constexpr int kSelectPrevPage = 32861;
inline constexpr int kSelectNextPage = 32862;
inline constexpr int kSelectAll = 57642;
inline constexpr int kEditProhibit = 32805;
inline constexpr int kInsertOverwrite = 32806;
inline constexpr int kSwitchPane = 32807;
inline constexpr int kDeleteByte = 32808;
inline constexpr int kDeleteBeforeCaret = 32809;
inline constexpr int kDeleteSelection = 32810;

}  // namespace vantrell::cmd

namespace vantrell::cmd {

inline constexpr int kGoToAddress = 32794;
inline constexpr int kGoToLastChange = 32795;
inline constexpr int kFillSelection = 32811;
inline constexpr int kSaveSelection = 32812;
inline constexpr int kRevert = 32813;
inline constexpr int kWindowSizeAdjust = 32841;
inline constexpr int kSelectRange = 32869;

}  // namespace vantrell::cmd
