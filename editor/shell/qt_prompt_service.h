#pragma once

#include <QWidget>

#include "shell/prompt_service.h"

namespace vantrell {

// Message boxes captioned with the program's title.
class QtPromptService : public PromptService {
 public:
  explicit QtPromptService(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void Beep() override;
  Answer Show(const Prompt& prompt) override;

 private:
  QWidget* parent_;
};

}  // namespace vantrell
