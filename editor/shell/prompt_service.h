#pragma once

#include <initializer_list>
#include <string>

#include "resources/string_table.h"

namespace vantrell {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

struct Prompt {
  int id = 0;
  std::string text;  // the string-table text with its placeholders filled in
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
};

// How the editor's logic talks to the user: a beep for a refused action, a
// message box with a numbered text for a real failure or a question. The
// window layer shows real message boxes; tests answer from a script.
class PromptService {
 public:
  virtual ~PromptService() = default;

  virtual void Beep() = 0;
  virtual Answer Show(const Prompt& prompt) = 0;

  Answer Message(int id, std::initializer_list<FormatArg> args = {},
                 MessageIcon icon = MessageIcon::None,
                 MessageButtons buttons = MessageButtons::Ok) {
    return Show({id, FormatString(id, args), icon, buttons});
  }
};

}  // namespace vantrell
