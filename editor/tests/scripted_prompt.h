#pragma once

#include <deque>
#include <vector>

#include "shell/prompt_service.h"

namespace vantrell::testing {

// Records every beep and message and answers from a prepared script; with the
// script exhausted it answers with the first button (OK, Yes or Retry).
class ScriptedPrompt : public PromptService {
 public:
  void Beep() override { ++beeps; }
  Answer Show(const Prompt& prompt) override {
    shown.push_back(prompt);
    if (!answers.empty()) {
      const Answer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    switch (prompt.buttons) {
      case MessageButtons::YesNo:
      case MessageButtons::YesNoCancel:
        return Answer::Yes;
      case MessageButtons::RetryCancel:
        return Answer::Retry;
      default:
        return Answer::Ok;
    }
  }

  std::vector<int> ShownIds() const {
    std::vector<int> ids;
    for (const Prompt& prompt : shown) ids.push_back(prompt.id);
    return ids;
  }

  int beeps = 0;
  std::vector<Prompt> shown;
  std::deque<Answer> answers;
};

}  // namespace vantrell::testing
