#include "wave_rec.h"

#include "audio_input_device.h"
#include "engine_host.h"
#include "wave_ring.h"

namespace tonewarden {

namespace {

constexpr char kCannotOpen[] = "ﾌｧｲﾙを開けません";
constexpr char kCannotWrite[] = "ﾌｧｲﾙに書き込めません";

}  // namespace

CWaveRec::CWaveRec(EngineHost& host, AudioInputDevice& device) : host_(host), device_(device) {}

CWaveRec::~CWaveRec() {
  Release(false);
  thread_.Quit();
}

void CWaveRec::Report(bool report, const std::string& error) {
  if (report && !error.empty()) host_.ShowMessage(error.substr(0, 256));
}

bool CWaveRec::OpenCapture(const WaveFormat& format, int blockCount, int blocksPerSecond, CWaveRing& ring,
                           const std::string& path) {
  counter_ = 0;
  if (!path.empty()) {
    path_ = path;
    // A recording that cannot be written is refused here rather than
    // running on and leaving no file.
    if (const std::string reason = file_.Create(path, format); !reason.empty()) {
      host_.ShowMessage(std::string(kCannotOpen) + "\n\n" + path + ": " + reason);
      return false;
    }
    recording_ = true;
  } else {
    recording_ = false;
  }
  blockCount_ = blockCount;
  ring_ = &ring;
  format_ = format;
  if (auto e = device_.Open(format, this); !e.empty()) {
    host_.ShowMessage(e.substr(0, 256));
    return false;
  }
  std::lock_guard lock(mutex_);
  blockBytes_ = (format.samplesPerSec / blocksPerSecond) * format.blockAlign;
  ring.Allocate(static_cast<std::size_t>(blockBytes_) * blockCount_);
  ring.format = format;
  records_.assign(blockCount_, BlockRecord{});
  for (int i = 0; i < blockCount_; ++i) {
    BlockRecord& r = records_[i];
    r.header.data = ring.data + static_cast<std::size_t>(i) * blockBytes_;
    r.header.bufferLength = blockBytes_;
    r.header.user = &r;
    r.partner = (blockCount_ / 2 + i) % blockCount_;
    r.sequence = counter_++;
    std::string e = device_.Prepare(&r.header);
    if (e.empty() && i < blockCount_ / 2) e = device_.AddBuffer(&r.header);
    if (!e.empty()) {
      host_.ShowMessage(e.substr(0, 256));
      return false;
    }
  }
  running_ = false;
  return true;
}

void CWaveRec::StartCapture(bool report) {
  std::lock_guard lock(mutex_);
  resetting_ = false;
  Report(report, device_.Start());
  running_ = true;
}

void CWaveRec::StopCapture(bool report) {
  std::lock_guard lock(mutex_);
  resetting_ = false;
  Report(report, device_.Stop());
  running_ = false;
}

void CWaveRec::OnBlockDone(WaveHeader* header) {
  thread_.Post([this, header] { HandleBufferFilled(header); });
}

void CWaveRec::HandleBufferFilled(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  if (resetting_ || records_.empty() || !(header->flags & WaveHeader::kDone)) return;
  auto* record = static_cast<BlockRecord*>(header->user);
  const std::uint32_t n = header->bytesRecorded;
  if (n > 0) {
    ring_->current = header->data + n - ring_->format.blockAlign;
    if (recording_ && file_.IsOpen() && !file_.Append(header->data, n)) {
      // Disk full or the 4 GB limit: the file keeps what it has, capture goes on.
      recording_ = false;
      host_.ShowMessage(std::string(kCannotWrite) + "\n\n" + path_);
    }
  } else {
    ring_->current = header->data;
  }
  host_.SetPosition(record->sequence);
  host_.PostBlockReady(host_.IsBusy() ? nullptr : ring_, host_.IsBusy() ? 0 : static_cast<int>(n));
  header->flags &= ~WaveHeader::kDone;
  record->sequence = counter_++;
  header->bytesRecorded = 0;
  Report(true, device_.AddBuffer(&records_[record->partner].header));
}

void CWaveRec::FinishFile(bool report) {
  if (device_.IsOpen()) {
    std::lock_guard lock(mutex_);
    resetting_ = true;
    Report(report, device_.Reset());
  }
  // Buffers returned by the reset are ignored; let their notices pass first.
  thread_.WaitIdle();
  std::lock_guard lock(mutex_);
  if (file_.IsOpen() && !file_.Finish()) Report(report, std::string(kCannotWrite) + "\n\n" + path_);
  recording_ = false;
}

void CWaveRec::Close(bool report) { Release(report); }

void CWaveRec::Release(bool report) {
  FinishFile(report);
  std::lock_guard lock(mutex_);
  for (BlockRecord& r : records_) (void)device_.Unprepare(&r.header);
  records_.clear();
  if (device_.IsOpen()) Report(report, device_.Close());
  running_ = false;
}

}  // namespace tonewarden
