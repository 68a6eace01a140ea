#pragma once

namespace vantrell {

struct CommandState {
  bool enabled = true;
  bool checked = false;
};

// Something a numbered command can be offered to: the active view, the main
// frame, the application. The first target that handles a command wins.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // True when this target handled the command.
  virtual bool OnCommand(int command) = 0;
  // True when this target decides the command's state (and fills it).
  virtual bool OnUpdateCommand(int command, CommandState& state) = 0;
};

}  // namespace vantrell
