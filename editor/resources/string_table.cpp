#include "string_table.h"

#include <cstdio>
#include <map>

namespace vantrell {

namespace {

const std::map<int, std::string_view>& Table() {
  static const std::map<int, std::string_view> table = {
      {ids::kMsgEnterDigits, "数字を入力してください"},
      {ids::kMsgInvalidAddress, "指定アドレスは無効です"},
      {ids::kMsgEnterHex, "１６進数で入力してください"},
      {ids::kMsgBackupFailed, "ファイルのバックアップに失敗しました"},
      {ids::kMsgSaveFailed, "\"%s\"の保存に失敗しました\n他のプロセスで使用中の可能性があります"},
      {ids::kMsgReadFailed, "\"%s\"の読み込みに失敗しました"},
      {ids::kMsgNoFillData, "初期化データが指定されていません"},
      {ids::kMsgRevertConfirm, "編集内容を破棄してファイルを再読み込みします"},
      {ids::kMsgNoFileName, "ファイル名が入力されていません"},
      {ids::kMsgLockedByOther,
       "指定ファイルは他のアプリケーションで排他制御されています\n閲覧モードで開きますか？"},
      {ids::kMsgSameFileName, "別名保存するファイル名が本来のファイル名と同一です"},
      {ids::kMsgWriteFailed, "ファイルの書き込みに失敗しました"},
      {ids::kMsgDiscardAll, "現在開いている全てのファイルを破棄します"},
      {ids::kMsgMainWindowFailed, "メインウィンドウの作成に失敗しました"},
      {ids::kMsgReadOnlyFile,
       "指定されたファイルはリードオンリーです\n\n属性を変更しますか？\n\n"
       "「はい」を選択すると属性を変更して開きます\n「いいえ」を選択すると閲覧モードで開きます"},
      {ids::kMsgSaveThisOne, "%sを保存しますか"},
      {ids::kMsgNotFound, "%sが見つかりません"},
      {ids::kStrOpenNewFile, "＜新しいファイルを開く＞"},
      {ids::kStrFileChangedText, "現在編集中のファイルは他のプロセスにより変更されています"},
      {ids::kStrReady, "ﾚﾃﾞｨ"},
      {ids::kMsgAskToSave, "%s への変更を保存しますか?"},
      {ids::kStrAllFiles, "すべてのファイル"},
      {ids::kStrAppTitle, "Vantrell"},
      {ids::kStrDocTemplate, "\n新規\nVantre\n\n\nVantrell.Document\nVantrell Document"},
  };
  return table;
}

std::string FormatNumber(const FormatArg& arg, char conversion, bool zeroPad, int width) {
  const std::int64_t value =
      std::holds_alternative<std::int64_t>(arg) ? std::get<std::int64_t>(arg) : 0;
  char spec[16];
  std::snprintf(spec, sizeof spec, "%%%s*ll%c", zeroPad ? "0" : "", conversion);
  char out[64];
  if (conversion == 'd') {
    std::snprintf(out, sizeof out, spec, width, static_cast<long long>(value));
  } else {
    // %u and %X print the 32-bit value as the original's unsigned formatting did.
    std::snprintf(out, sizeof out, spec, width,
                  static_cast<unsigned long long>(static_cast<std::uint32_t>(value)));
  }
  return out;
}

}  // namespace

std::string_view StringText(int id) {
  const auto& table = Table();
  const auto it = table.find(id);
  return it == table.end() ? std::string_view{} : it->second;
}

std::string_view StringField(int id, int field) {
  std::string_view text = StringText(id);
  for (; field > 0; --field) {
    const auto newline = text.find('\n');
    if (newline == std::string_view::npos) return {};
    text.remove_prefix(newline + 1);
  }
  return text.substr(0, text.find('\n'));
}

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      out += format[i];
      continue;
    }
    std::size_t j = i + 1;
    if (format[j] == '%') {
      out += '%';
      i = j;
      continue;
    }
    const bool zeroPad = format[j] == '0';
    if (zeroPad) ++j;
    int width = 0;
    while (j < format.size() && format[j] >= '0' && format[j] <= '9')
      width = width * 10 + (format[j++] - '0');
    if (j >= format.size() || next == args.end()) {
      out += format[i];
      continue;
    }
    const char conversion = format[j];
    if (conversion == 's') {
      out += std::holds_alternative<std::string>(*next) ? std::get<std::string>(*next)
                                                        : std::to_string(std::get<std::int64_t>(*next));
    } else if (conversion == 'd' || conversion == 'u' || conversion == 'X' || conversion == 'x') {
      out += FormatNumber(*next, conversion, zeroPad, width);
    } else {
      out += format[i];
      continue;
    }
    ++next;
    i = j;
  }
  return out;
}

}  // namespace vantrell
