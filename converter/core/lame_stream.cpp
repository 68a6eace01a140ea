#include "core/lame_stream.h"

#include <lame/lame.h>

#include <cstdarg>

namespace sonatra {

namespace {
void Silent(const char*, va_list) {}
}  // namespace

LameStream::~LameStream() { Close(); }

void LameStream::Close() {
  if (lame_ != nullptr) lame_close(lame_);
  lame_ = nullptr;
}

bool LameStream::Open(int rate, int channels, int kbps) {
  Close();
  if (channels < 1 || channels > 2 || rate <= 0) return false;
  lame_ = lame_init();
  if (lame_ == nullptr) return false;
  lame_set_errorf(lame_, Silent);
  lame_set_debugf(lame_, Silent);
  lame_set_msgf(lame_, Silent);
  lame_set_in_samplerate(lame_, rate);
  lame_set_out_samplerate(lame_, rate);
  lame_set_num_channels(lame_, channels);
  lame_set_mode(lame_, channels == 1 ? MONO : JOINT_STEREO);
  lame_set_VBR(lame_, vbr_off);
  lame_set_brate(lame_, kbps);
  lame_set_quality(lame_, 3);    // what the lame command uses by default
  lame_set_bWriteVbrTag(lame_, 0);  // raw frames, no tag frame
  if (lame_init_params(lame_) < 0 || lame_get_out_samplerate(lame_) != rate ||
      lame_get_brate(lame_) != kbps || lame_get_num_channels(lame_) != channels) {
    Close();
    return false;
  }
  channels_ = channels;
  return true;
}

bool LameStream::Encode(const std::int16_t* samples, int frames, std::vector<std::uint8_t>& out) {
  if (lame_ == nullptr) return false;
  const std::size_t before = out.size();
  out.resize(before + frames + frames / 4 + 7200);  // 1.25 x samples + 7200
  const int size = static_cast<int>(out.size() - before);
  int n = 0;
  if (channels_ == 2) {
    n = lame_encode_buffer_interleaved(lame_, const_cast<short*>(samples), frames, out.data() + before, size);
  } else {
    n = lame_encode_buffer(lame_, samples, nullptr, frames, out.data() + before, size);
  }
  out.resize(before + (n > 0 ? n : 0));
  return n >= 0;
}

bool LameStream::Flush(std::vector<std::uint8_t>& out) {
  if (lame_ == nullptr) return false;
  const std::size_t before = out.size();
  out.resize(before + 7200);
  const int n = lame_encode_flush(lame_, out.data() + before, 7200);
  out.resize(before + (n > 0 ? n : 0));
  return n >= 0;
}

}  // namespace sonatra
