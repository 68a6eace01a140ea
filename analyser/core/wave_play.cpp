#include "wave_play.h"

#include <cstdio>
#include <cstring>

#include "audio_output_device.h"
#include "engine_host.h"
#include "ffmpeg_decoder.h"
#include "wave_ring.h"

namespace tonewarden {

namespace {

constexpr char kStereoOnly[] = "この版は16bit、stereoﾃﾞｰﾀのみのｻﾎﾟｰﾄです(^^;";

}  // namespace

CWavePlay::CWavePlay(EngineHost& host, AudioOutputDevice& device) : host_(host), device_(device) {}

CWavePlay::~CWavePlay() {
  Release(false);
  thread_.Quit();
  source_.reset();
}

bool CWavePlay::Fail(int code, const std::string& text, const std::string& cause) {
  char message[512];
  const std::string step = text.empty() ? "原因不明のｴﾗｰです" : text;
  if (cause.empty()) {
    std::snprintf(message, sizeof message, "CWavePlay:%d %s", code, step.c_str());
  } else {
    std::snprintf(message, sizeof message, "CWavePlay:%d %s\n\n%s", code, step.c_str(), cause.substr(0, 160).c_str());
  }
  host_.ShowMessage(message);
  return false;
}

bool CWavePlay::DeviceFailed(const std::string& error) {
  host_.ShowMessage(error.substr(0, 256));
  return false;
}

bool CWavePlay::OpenStream(WaveFormat& format, int blockCount, int blocksPerSecond, CWaveRing& ring,
                           const std::string& path) {
  auto decoder = std::make_unique<FfmpegDecoder>();
  const DecodeError error = decoder->Open(path);
  if (!error.ok()) {
    if (error.code == FfmpegDecoder::kCodeFormat) {
      host_.ShowMessage(kStereoOnly);
      return false;
    }
    return Fail(error.code, error.text, error.cause);
  }
  return OpenSource(format, blockCount, blocksPerSecond, ring, std::move(decoder));
}

bool CWavePlay::OpenSource(WaveFormat& format, int blockCount, int blocksPerSecond, CWaveRing& ring,
                           std::unique_ptr<PcmSource> source) {
  std::lock_guard lock(mutex_);
  ring_ = &ring;
  format_ = &format;
  blockCount_ = blockCount;
  perSecond_ = blocksPerSecond;
  decodeCounter_ = 0;
  outstanding_ = 0;
  playing_ = false;
  source_ = std::move(source);
  format = source_->format();
  if (format.channels != 2 || format.bitsPerSample != 16 || format.samplesPerSec < static_cast<unsigned>(perSecond_)) {
    host_.ShowMessage(kStereoOnly);
    return false;
  }
  blockBytes_ = (format.samplesPerSec / perSecond_) * format.blockAlign;
  ring.Allocate(static_cast<std::size_t>(blockBytes_) * blockCount_);
  ring.format = format;

  const std::string openError = device_.Open(format, this);
  source_->Seek(0);
  if (!openError.empty()) return DeviceFailed(openError);
  if (auto e = device_.Pause(); !e.empty()) return DeviceFailed(e);

  records_.assign(blockCount_, BlockRecord{});
  for (int i = 0; i < blockCount_; ++i) {
    BlockRecord& r = records_[i];
    r.header.data = ring.data + static_cast<std::size_t>(i) * blockBytes_;
    r.header.bufferLength = blockBytes_;
    r.header.user = &r;
    r.partner = (i + blockCount_ / 2) % blockCount_;
    if (auto e = device_.Prepare(&r.header); !e.empty()) return DeviceFailed(e);
    if (i < blockCount_ / 2) {
      r.sequence = decodeCounter_++;
      Decode(r);
      if (auto e = Queue(r); !e.empty()) return DeviceFailed(e);
    }
  }
  return true;
}

// One block of 1/60 s; at the end of a seekable stream the rest is silence and
// decoding starts again from the top with the tick count at 0.
void CWavePlay::Decode(BlockRecord& record) {
  const int frames = static_cast<int>(blockBytes_ / 4);
  auto* out = reinterpret_cast<std::int16_t*>(record.header.data);
  const int got = source_->Read(out, frames);
  if (got < frames) {
    if (source_->CanSeek()) {
      source_->Seek(0);
      decodeCounter_ = 0;
    }
    std::memset(out + 2 * got, 0, static_cast<std::size_t>(frames - got) * 4);
  }
}

// Counting the blocks actually queued (rather than assuming 60) means a
// failed write can never leave a reset waiting for a block that never returns.
std::string CWavePlay::Queue(BlockRecord& record) {
  std::string error = device_.Write(&record.header);
  if (error.empty()) ++outstanding_;
  return error;
}

void CWavePlay::Restart() {
  resetting_ = false;
  std::lock_guard lock(mutex_);
  if (device_.IsOpen() && device_.Resume().empty()) playing_ = true;
}

void CWavePlay::Pause() {
  std::lock_guard lock(mutex_);
  if (device_.IsOpen()) (void)device_.Pause();
  playing_ = false;
}

void CWavePlay::ResetOutput() {
  std::unique_lock lock(mutex_);
  resetting_ = true;
  if (device_.IsOpen() && !records_.empty()) {
    (void)device_.Reset();
    // The playback thread takes the lock to count the returned blocks.
    returned_.wait(lock, [this] { return outstanding_ <= 0; });
  }
  resetting_ = false;
  playing_ = false;
}

void CWavePlay::OnBlockDone(WaveHeader* header) {
  thread_.Post([this, header] { HandleBlockDone(header); });
}

void CWavePlay::HandleBlockDone(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  --outstanding_;
  if (resetting_) {
    returned_.notify_all();
    return;
  }
  if (!(header->flags & WaveHeader::kDone) || records_.empty()) return;
  auto* record = static_cast<BlockRecord*>(header->user);
  ring_->current = header->data + header->bufferLength - ring_->format.blockAlign;
  host_.SetPosition(record->sequence);
  host_.PostBlockReady(host_.IsBusy() ? nullptr : ring_, 0);
  BlockRecord& partner = records_[record->partner];
  partner.sequence = decodeCounter_++;
  Decode(partner);
  header->flags &= ~WaveHeader::kDone;
  (void)Queue(partner);
}

void CWavePlay::SeekTo(int p) {
  std::lock_guard lock(mutex_);
  if (!source_ || !device_.IsOpen() || records_.empty()) return;
  const int half = blockCount_ / 2;
  const int first = p - half + 1;
  const long long time = first < 0 ? 0 : static_cast<long long>(first) * 10'000'000LL / perSecond_;
  source_->Seek(time);
  // Numbers follow the decoding: negative for silence before the start, and
  // from 0 again if the stream ends and loops while the ring is filled.
  decodeCounter_ = first;
  for (int k = 0; k < blockCount_; ++k) {
    BlockRecord& r = records_[k];
    r.header.flags &= ~WaveHeader::kDone;
    if (decodeCounter_ < 0) {
      r.sequence = decodeCounter_++;
      std::memset(r.header.data, 0, blockBytes_);
    } else {
      r.sequence = decodeCounter_++;
      Decode(r);
    }
    if (k >= half) (void)Queue(r);
  }
  ring_->current = records_[half].header.data - ring_->format.blockAlign;
  host_.PostBlockReady(ring_, 0);
}

void CWavePlay::Close() { Release(true); }

void CWavePlay::Release(bool report) {
  ResetOutput();
  std::lock_guard lock(mutex_);
  for (BlockRecord& r : records_) (void)device_.Unprepare(&r.header);
  records_.clear();
  if (device_.IsOpen()) {
    const std::string error = device_.Close();
    if (report && !error.empty()) host_.ShowMessage(error);
  }
}

long long CWavePlay::DurationTicks() const {
  std::lock_guard lock(mutex_);
  return source_ ? source_->Duration100ns() * perSecond_ / 10'000'000LL : 0;
}

}  // namespace tonewarden
