#pragma once

// The conversion run: for each file in order, decode (when not PCM WAV),
// convert rate and layout (when they differ from the target), then rename
// the result to base.wav or encode it to base.mp3 in the output folder.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/c_mp3acm.h"
#include "core/run_settings.h"

namespace sonatra {

class C_DecodeAudio;

struct FileOutcome {
  std::string input;
  std::string output;  // the file written, empty when none
  std::string reason;  // why nothing was written, empty when something was
  bool failed = false;
};

class ConversionRun {
 public:
  struct Events {
    std::function<void(int row)> rowStarted;
    std::function<void(const std::string& line0, const std::string& line1)> status;
    std::function<void(int permille)> progress;  // 0 .. 1000
    // Lets the user interface handle pending input between blocks (Abort comes this way).
    std::function<void()> processInput;
  };

  explicit ConversionRun(Events events) : events_(std::move(events)) {}
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // The MP3 bit rate the run will use, 0 when MP3 output is not possible
  // (decode only, a target that is not 16-bit, or no bit rate LAME takes).
  [[nodiscard]] static std::int32_t Mp3BitRate(const RunSettings& settings);

  // Runs over `files`; the list is taken once. Refuses a target rate of 0 or
  // less and a mode outside 0..5 (returns nothing). One outcome per file reached.
  std::vector<FileOutcome> Run(const std::vector<std::string>& files, const RunSettings& settings);

  // Ends the current step at its next check and the run after that file.
  void Abort();
  [[nodiscard]] bool Running() const { return running_; }

 private:
  FileOutcome ConvertOne(const std::string& input, const RunSettings& settings,
                         std::int32_t mp3BitRate);
  void Status(const std::string& a, const std::string& b) {
    if (events_.status) events_.status(a, b);
  }
  void Progress(float rate);
  void ProcessInput() {
    if (events_.processInput) events_.processInput();
  }

  Events events_;
  C_mp3acm mp3enc_;
  std::atomic<bool> running_{false};
  std::atomic<std::int32_t> stopRequested_{0};
  std::atomic<C_DecodeAudio*> decoder_{nullptr};
};

}  // namespace sonatra
