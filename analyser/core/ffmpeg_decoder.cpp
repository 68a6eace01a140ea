#include "ffmpeg_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace tonewarden {

namespace {

const char kUnsupported[] = "この版は16bit、stereoﾃﾞｰﾀのみのｻﾎﾟｰﾄです(^^;";

std::string AvError(int status) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(status, text, sizeof text);
  return text;
}

}  // namespace

FfmpegDecoder::~FfmpegDecoder() { Close(); }

void FfmpegDecoder::Close() {
  swr_free(&swr_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  avformat_close_input(&format_ctx_);
  stream_ = -1;
  fifo_.clear();
  fifoRead_ = 0;
}

DecodeError FfmpegDecoder::Open(const std::string& path) {
  Close();
  av_log_set_level(AV_LOG_QUIET);
  int status = avformat_open_input(&format_ctx_, path.c_str(), nullptr, nullptr);
  if (status < 0) return {kCodeOpenFile, "ﾌｧｲﾙを開けません", AvError(status)};
  status = avformat_find_stream_info(format_ctx_, nullptr);
  if (status < 0) return {kCodeOpenFile, "ﾌｧｲﾙを開けません", AvError(status)};
  const AVCodec* decoder = nullptr;
  stream_ = av_find_best_stream(format_ctx_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream_ < 0) return {kCodeAudioStream, "Audioｽﾄﾘｰﾑを取得出来ません", AvError(stream_)};
  AVStream* stream = format_ctx_->streams[stream_];
  codec_ = avcodec_alloc_context3(decoder);
  if (codec_ == nullptr || avcodec_parameters_to_context(codec_, stream->codecpar) < 0 ||
      (status = avcodec_open2(codec_, decoder, nullptr)) < 0) {
    return {kCodeFormat, kUnsupported, "no decoder for this stream"};
  }
  // Below 60 Hz a block of 1/60 second would hold no frame.
  if (codec_->sample_rate < 60) return {kCodeFormat, kUnsupported, "no sample rate"};
  format_ = WaveFormat::Stereo16(static_cast<std::uint32_t>(codec_->sample_rate));
  if (!ResetResampler()) return {kCodeFormat, kUnsupported, "cannot convert this sample layout"};
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();

  if (format_ctx_->duration != AV_NOPTS_VALUE && format_ctx_->duration > 0) {
    duration_ = format_ctx_->duration * 10;  // microseconds to 100 ns
  } else if (stream->duration != AV_NOPTS_VALUE) {
    duration_ = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 10'000'000});
  } else {
    duration_ = 0;
  }
  seekable_ = format_ctx_->pb != nullptr && (format_ctx_->pb->seekable & AVIO_SEEKABLE_NORMAL) != 0;
  inputDone_ = decoderDone_ = resamplerFlushed_ = false;
  seekTarget_ = -1;
  return {};
}

bool FfmpegDecoder::ResetResampler() {
  swr_free(&swr_);
  AVChannelLayout in{};
  if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&codec_->ch_layout) == 0) {
    av_channel_layout_default(&in, std::max(1, codec_->ch_layout.nb_channels));
  } else if (av_channel_layout_copy(&in, &codec_->ch_layout) < 0) {
    return false;
  }
  AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
  int status = swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_S16, codec_->sample_rate, &in, codec_->sample_fmt,
                                   codec_->sample_rate, 0, nullptr);
  if (status >= 0 && in.nb_channels == 1) {
    // A mono source plays at its own level on both channels (not 3 dB down).
    const double matrix[2] = {1.0, 1.0};
    status = swr_set_matrix(swr_, matrix, 1);
  }
  av_channel_layout_uninit(&in);
  if (status < 0 || swr_init(swr_) < 0) {
    swr_free(&swr_);
    return false;
  }
  return true;
}

bool FfmpegDecoder::Convert(const AVFrame* frame) {
  const int room = swr_get_out_samples(swr_, frame ? frame->nb_samples : 0);
  if (room <= 0) return true;
  // Compact the FIFO before it grows.
  if (fifoRead_ > 0) {
    fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<std::ptrdiff_t>(fifoRead_));
    fifoRead_ = 0;
  }
  const std::size_t old = fifo_.size();
  fifo_.resize(old + 2 * static_cast<std::size_t>(room));
  auto* out = reinterpret_cast<std::uint8_t*>(fifo_.data() + old);
  const int made = swr_convert(swr_, &out, room, frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                               frame ? frame->nb_samples : 0);
  fifo_.resize(old + 2 * static_cast<std::size_t>(std::max(made, 0)));
  if (made <= 0 || seekTarget_ < 0 || frame == nullptr) return made >= 0;

  // First frame after a seek: drop what lies before the target frame.
  std::int64_t pts = frame->best_effort_timestamp;
  if (pts == AV_NOPTS_VALUE) pts = frame->pts;
  std::int64_t drop = 0;
  if (pts != AV_NOPTS_VALUE) {
    const AVStream* stream = format_ctx_->streams[stream_];
    const std::int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    const std::int64_t at = av_rescale_q(pts - start, stream->time_base, AVRational{1, codec_->sample_rate});
    drop = seekTarget_ - at;
  }
  if (drop >= made) {
    fifo_.resize(old);  // wholly before the target; the next frame's time decides
    return true;
  }
  if (drop > 0) fifo_.erase(fifo_.begin() + static_cast<std::ptrdiff_t>(old),
                            fifo_.begin() + static_cast<std::ptrdiff_t>(old + 2 * drop));
  seekTarget_ = -1;
  return true;
}

bool FfmpegDecoder::DecodeMore() {
  while (!decoderDone_) {
    int status = avcodec_receive_frame(codec_, frame_);
    if (status == 0) {
      const bool ok = Convert(frame_);
      av_frame_unref(frame_);
      if (!ok) return false;
      return true;
    }
    if (status == AVERROR_EOF) {
      decoderDone_ = true;
      break;
    }
    if (status != AVERROR(EAGAIN)) {
      decoderDone_ = true;  // a broken stream ends where it breaks
      break;
    }
    if (inputDone_) {
      decoderDone_ = true;
      break;
    }
    // Feed one packet of our stream, or drain the decoder at the end of the file.
    for (;;) {
      status = av_read_frame(format_ctx_, packet_);
      if (status < 0) {
        inputDone_ = true;
        avcodec_send_packet(codec_, nullptr);
        break;
      }
      if (packet_->stream_index == stream_) {
        // A damaged packet is skipped, the stream goes on.
        avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
        break;
      }
      av_packet_unref(packet_);
    }
  }
  if (!resamplerFlushed_) {
    resamplerFlushed_ = true;
    Convert(nullptr);
    return fifo_.size() > fifoRead_;
  }
  return false;
}

int FfmpegDecoder::Read(std::int16_t* out, int frames) {
  if (codec_ == nullptr) return 0;
  int done = 0;
  while (done < frames) {
    const std::size_t have = (fifo_.size() - fifoRead_) / 2;
    if (have == 0) {
      if (!DecodeMore()) break;
      continue;
    }
    const std::size_t take = std::min<std::size_t>(have, static_cast<std::size_t>(frames - done));
    std::memcpy(out + 2 * done, fifo_.data() + fifoRead_, take * 4);
    fifoRead_ += 2 * take;
    done += static_cast<int>(take);
  }
  if (fifoRead_ == fifo_.size()) {
    fifo_.clear();
    fifoRead_ = 0;
  }
  return done;
}

bool FfmpegDecoder::Seek(std::int64_t time100ns) {
  if (codec_ == nullptr) return false;
  if (time100ns < 0) time100ns = 0;
  const AVStream* stream = format_ctx_->streams[stream_];
  const std::int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
  const std::int64_t ts = start + av_rescale_q(time100ns, AVRational{1, 10'000'000}, stream->time_base);
  // Land on the key point before the target, then decode and discard up to it.
  if (av_seek_frame(format_ctx_, stream_, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
      avformat_seek_file(format_ctx_, stream_, INT64_MIN, ts, ts, 0) < 0) {
    return false;
  }
  avcodec_flush_buffers(codec_);
  if (!ResetResampler()) return false;
  fifo_.clear();
  fifoRead_ = 0;
  inputDone_ = decoderDone_ = resamplerFlushed_ = false;
  seekTarget_ = av_rescale(time100ns, codec_->sample_rate, 10'000'000);
  return true;
}

}  // namespace tonewarden
