#pragma once

// Decodes the best audio stream of any media file FFmpeg can open to 16-bit
// stereo PCM at the stream's own rate. Mono, 8-bit, float and multichannel
// sources are converted (mono is copied to both channels at full level).

#include <cstdint>
#include <string>
#include <vector>

#include "decode_error.h"
#include "pcm_source.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

namespace tonewarden {

class FfmpegDecoder final : public PcmSource {
 public:
  static constexpr int kCodeOpenFile = 387;
  static constexpr int kCodeAudioStream = 130;
  static constexpr int kCodeFormat = 136;

  FfmpegDecoder() = default;
  ~FfmpegDecoder() override;
  FfmpegDecoder(const FfmpegDecoder&) = delete;
  FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

  [[nodiscard]] DecodeError Open(const std::string& path);
  void Close();

  [[nodiscard]] const WaveFormat& format() const override { return format_; }
  int Read(std::int16_t* out, int frames) override;
  bool Seek(std::int64_t time100ns) override;
  [[nodiscard]] std::int64_t Duration100ns() const override { return duration_; }
  [[nodiscard]] bool CanSeek() const override { return seekable_; }

 private:
  bool DecodeMore();
  bool Convert(const AVFrame* frame);
  bool ResetResampler();

  AVFormatContext* format_ctx_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  SwrContext* swr_ = nullptr;
  int stream_ = -1;
  WaveFormat format_;
  std::int64_t duration_ = 0;
  bool seekable_ = false;

  std::vector<std::int16_t> fifo_;  // converted frames not yet read
  std::size_t fifoRead_ = 0;        // in samples
  bool inputDone_ = false;          // no more packets; decoder drained with a null packet
  bool decoderDone_ = false;
  bool resamplerFlushed_ = false;
  std::int64_t seekTarget_ = -1;    // frame to start at after a seek, until the first frame decodes
};

}  // namespace tonewarden
