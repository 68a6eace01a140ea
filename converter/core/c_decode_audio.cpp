#include "core/c_decode_audio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <memory>
#include <vector>

#include "core/basic.h"
#include "core/media_source.h"
#include "core/wave_mmio.h"
#include "core/wave_writer.h"

namespace sonatra {

namespace {

struct SwrFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

// Resamples decoded frames to interleaved 16- or 24-bit PCM and appends it.
class PcmSink {
 public:
  PcmSink(SwrContext* swr, WaveWriter& writer, int channels, bool wide)
      : swr_(swr), writer_(writer), channels_(channels), wide_(wide) {}

  // `frame` null flushes what swresample still holds.
  bool Put(const AVFrame* frame) {
    const int in = frame != nullptr ? frame->nb_samples : 0;
    const int room = swr_get_out_samples(swr_, in);
    if (room <= 0) return true;
    const int sampleBytes = wide_ ? 4 : 2;
    buffer_.resize(static_cast<std::size_t>(room) * channels_ * sampleBytes);
    std::uint8_t* out = buffer_.data();
    const int got = swr_convert(swr_, &out, room,
                                frame != nullptr ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                                in);
    if (got < 0) return false;
    const std::size_t samples = static_cast<std::size_t>(got) * channels_;
    if (!wide_) return writer_.Append(buffer_.data(), samples * 2);
    // 32-bit samples to 24 bits: the three high bytes, least significant first.
    packed_.resize(samples * 3);
    for (std::size_t i = 0; i < samples; ++i) {
      packed_[3 * i] = buffer_[4 * i + 1];
      packed_[3 * i + 1] = buffer_[4 * i + 2];
      packed_[3 * i + 2] = buffer_[4 * i + 3];
    }
    return writer_.Append(packed_.data(), packed_.size());
  }

 private:
  SwrContext* swr_;
  WaveWriter& writer_;
  int channels_;
  bool wide_;
  std::vector<std::uint8_t> buffer_;
  std::vector<std::uint8_t> packed_;
};

}  // namespace

std::int32_t C_DecodeAudio::DecodeAudio(const std::string& pSourceFN, const std::string& pTargetFN) {
  canceled_ = 0;
  MediaSource source;
  if (!source.Open(pSourceFN)) return 0;  // nothing could decode it: no target
  AVCodecContext* codec = source.codec();

  AVChannelLayout inLayout{};
  if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&inLayout, codec->ch_layout.nb_channels);
  else
    av_channel_layout_copy(&inLayout, &codec->ch_layout);
  // Channel counts without a PCM layout of their own become stereo.
  const int inChannels = inLayout.nb_channels;
  const bool keep = inChannels == 1 || inChannels == 2 || inChannels == 6 || inChannels == 8;
  const int channels = keep ? inChannels : 2;
  AVChannelLayout outLayout{};
  av_channel_layout_default(&outLayout, channels);
  if (keep && inLayout.order == AV_CHANNEL_ORDER_NATIVE) av_channel_layout_copy(&outLayout, &inLayout);

  const bool wide = source.IsHighResolution();
  const int rate = codec->sample_rate;
  SwrContext* rawSwr = nullptr;
  const int made = swr_alloc_set_opts2(&rawSwr, &outLayout, wide ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16, rate,
                                       &inLayout, codec->sample_fmt, rate, 0, nullptr);
  std::unique_ptr<SwrContext, SwrFree> swr(rawSwr);
  av_channel_layout_uninit(&inLayout);
  av_channel_layout_uninit(&outLayout);
  if (made < 0 || swr_init(swr.get()) < 0) return 0;

  bool ok = true;
  {
    WaveWriter writer;
    if (!writer.Create(pTargetFN, rate, wide ? 24 : 16, channels)) {
      DeleteFileIfAny(pTargetFN);
      return 0;
    }
    PcmSink sink(swr.get(), writer, channels, wide);
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    const std::int64_t inputSize = avio_size(source.format()->pb);

    auto drain = [&]() {
      for (;;) {
        const int r = avcodec_receive_frame(codec, frame.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return true;  // a damaged frame ends nothing: go on like the graph would
        const bool put = sink.Put(frame.get());
        av_frame_unref(frame.get());
        if (!put) return false;
      }
    };

    while (ok && canceled_ == 0) {
      const int r = av_read_frame(source.format(), packet.get());
      if (r < 0) break;  // end of input, or a read error that ends it like a completion
      if (packet->stream_index == source.stream()) {
        // A packet the decoder refuses is skipped, as a damaged frame would be.
        if (avcodec_send_packet(codec, packet.get()) >= 0) ok = drain();
      }
      av_packet_unref(packet.get());
      if (prog_ && inputSize > 0) {
        const std::int64_t at = avio_tell(source.format()->pb);
        prog_(static_cast<float>(static_cast<double>(at) / static_cast<double>(inputSize)));
      }
    }
    if (ok && canceled_ == 0) {
      // Drain the decoder and swresample, or the end of the sound is lost.
      avcodec_send_packet(codec, nullptr);
      ok = drain() && sink.Put(nullptr);
    }
    if (!writer.Finish()) ok = false;
  }
  if (!ok || canceled_ != 0) {
    DeleteFileIfAny(pTargetFN);
    return 0;
  }
  return FileSize64(pSourceFN) > 0 ? 1 : 0;
}

}  // namespace sonatra
