#pragma once

// An opened media file with its audio decoder: the named chains of the input
// type first, then FFmpeg's own probing.

#include <string>

struct AVFormatContext;
struct AVCodecContext;

namespace sonatra {

struct DecodeChain;

class MediaSource {
 public:
  MediaSource() = default;
  ~MediaSource();
  MediaSource(const MediaSource&) = delete;
  MediaSource& operator=(const MediaSource&) = delete;

  // Tries attempt 0, attempt 1, then probing; true when an audio decoder opened.
  [[nodiscard]] bool Open(const std::string& path);
  void Close();

  [[nodiscard]] AVFormatContext* format() const { return format_; }
  [[nodiscard]] AVCodecContext* codec() const { return codec_; }
  [[nodiscard]] int stream() const { return stream_; }
  // Playing length in milliseconds from the container, 0 when unknown.
  [[nodiscard]] long long DurationMs() const;
  // Which way it opened: 0, 1 for the named chains, 2 for probing.
  [[nodiscard]] int attempt() const { return attempt_; }
  // True when the source holds more than 16 bits per sample (24-bit or float PCM, ...).
  [[nodiscard]] bool IsHighResolution() const;

 private:
  bool OpenWith(const std::string& path, const DecodeChain* chain);

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  int stream_ = -1;
  int attempt_ = -1;
};

}  // namespace sonatra
