#include "core/media_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <cmath>

#include "core/decode_chain.h"
#include "core/round_half_even.h"
#include "core/wave_mmio.h"

namespace sonatra {

MediaSource::~MediaSource() { Close(); }

void MediaSource::Close() {
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
  stream_ = -1;
  attempt_ = -1;
}

bool MediaSource::Open(const std::string& path) {
  Close();
  av_log_set_level(AV_LOG_QUIET);  // the run reports failures itself
  const std::string type = AudioTypeOf(path);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto chain = NamedChain(type, attempt);
    if (chain && OpenWith(path, &*chain)) {
      attempt_ = attempt;
      return true;
    }
  }
  if (OpenWith(path, nullptr)) {
    attempt_ = 2;
    return true;
  }
  return false;
}

bool MediaSource::OpenWith(const std::string& path, const DecodeChain* chain) {
  Close();
  const AVInputFormat* demuxer = nullptr;
  if (chain != nullptr) {
    demuxer = av_find_input_format(chain->demuxer.c_str());
    if (demuxer == nullptr) return false;
  }
  if (avformat_open_input(&format_, path.c_str(), demuxer, nullptr) < 0) {
    format_ = nullptr;
    return false;
  }
  if (avformat_find_stream_info(format_, nullptr) < 0) {
    Close();
    return false;
  }
  const AVCodec* decoder = nullptr;
  const int index = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (index < 0) {
    Close();
    return false;
  }
  const AVCodecParameters* par = format_->streams[index]->codecpar;
  if (chain != nullptr && !chain->decoder.empty()) {
    decoder = avcodec_find_decoder_by_name(chain->decoder.c_str());
    if (decoder == nullptr || decoder->id != par->codec_id) {
      Close();
      return false;
    }
  }
  if (decoder == nullptr) {
    Close();
    return false;
  }
  codec_ = avcodec_alloc_context3(decoder);
  if (codec_ == nullptr || avcodec_parameters_to_context(codec_, par) < 0 ||
      avcodec_open2(codec_, decoder, nullptr) < 0 || codec_->sample_rate <= 0 ||
      codec_->ch_layout.nb_channels <= 0) {
    Close();
    return false;
  }
  stream_ = index;
  return true;
}

long long MediaSource::DurationMs() const {
  if (format_ == nullptr) return 0;
  if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0)
    return RoundHalfEven(static_cast<double>(format_->duration) / AV_TIME_BASE * 1000.0);
  const AVStream* s = stream_ >= 0 ? format_->streams[stream_] : nullptr;
  if (s != nullptr && s->duration != AV_NOPTS_VALUE && s->duration > 0)
    return RoundHalfEven(static_cast<double>(s->duration) * av_q2d(s->time_base) * 1000.0);
  return 0;
}

bool MediaSource::IsHighResolution() const {
  if (format_ == nullptr || stream_ < 0) return false;
  const AVCodecParameters* par = format_->streams[stream_]->codecpar;
  if (par->bits_per_raw_sample > 16) return true;
  // PCM codecs carry their width in the codec itself (24-bit, 32-bit, float).
  const AVCodecDescriptor* d = avcodec_descriptor_get(par->codec_id);
  const bool pcm = par->codec_id >= AV_CODEC_ID_FIRST_AUDIO && par->codec_id < AV_CODEC_ID_ADPCM_IMA_QT &&
                   d != nullptr && (d->props & AV_CODEC_PROP_LOSSLESS);
  return pcm && av_get_bits_per_sample(par->codec_id) > 16;
}

}  // namespace sonatra
