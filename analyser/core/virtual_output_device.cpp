#include "virtual_output_device.h"

#include "device_listener.h"
#include "wave_header.h"

namespace tonewarden {

std::string VirtualOutputDevice::Check(const std::string& call) const {
  const auto it = failures_.find(call);
  return it == failures_.end() ? std::string() : it->second;
}

void VirtualOutputDevice::FailOn(const std::string& call, const std::string& text) {
  std::lock_guard lock(mutex_);
  failures_[call] = text;
}

std::string VirtualOutputDevice::Open(const WaveFormat&, DeviceListener* listener) {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Open"); !e.empty()) return e;
  listener_ = listener;
  open_ = true;
  paused_ = false;
  return {};
}

std::string VirtualOutputDevice::Pause() {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Pause"); !e.empty()) return e;
  paused_ = true;
  return {};
}

std::string VirtualOutputDevice::Resume() {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Resume"); !e.empty()) return e;
  paused_ = false;
  return {};
}

std::string VirtualOutputDevice::Reset() {
  std::vector<WaveHeader*> done;
  {
    std::lock_guard lock(mutex_);
    if (auto e = Check("Reset"); !e.empty()) return e;
    for (WaveHeader* h : queue_) {
      h->flags = (h->flags & ~WaveHeader::kInQueue) | WaveHeader::kDone;
      done.push_back(h);
    }
    queue_.clear();
  }
  Notify(done);
  return {};
}

std::string VirtualOutputDevice::Prepare(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Prepare"); !e.empty()) return e;
  header->flags |= WaveHeader::kPrepared;
  return {};
}

std::string VirtualOutputDevice::Unprepare(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  if (header->flags & WaveHeader::kInQueue) return "still playing";
  header->flags &= ~WaveHeader::kPrepared;
  return {};
}

std::string VirtualOutputDevice::Write(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Write"); !e.empty()) return e;
  if (!(header->flags & WaveHeader::kPrepared)) return "header not prepared";
  header->flags = (header->flags & ~WaveHeader::kDone) | WaveHeader::kInQueue;
  queue_.push_back(header);
  return {};
}

std::string VirtualOutputDevice::Close() {
  std::lock_guard lock(mutex_);
  if (!queue_.empty()) return "still playing";
  open_ = false;
  listener_ = nullptr;
  return {};
}

bool VirtualOutputDevice::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

int VirtualOutputDevice::PlayBlocks(int n) {
  std::vector<WaveHeader*> done;
  {
    std::lock_guard lock(mutex_);
    if (!open_ || paused_) return 0;
    while (n-- > 0 && !queue_.empty()) {
      WaveHeader* h = queue_.front();
      queue_.pop_front();
      h->flags = (h->flags & ~WaveHeader::kInQueue) | WaveHeader::kDone;
      done.push_back(h);
    }
  }
  Notify(done);
  return static_cast<int>(done.size());
}

void VirtualOutputDevice::Notify(const std::vector<WaveHeader*>& done) {
  DeviceListener* listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  if (listener == nullptr) return;
  for (WaveHeader* h : done) listener->OnBlockDone(h);
}

int VirtualOutputDevice::QueuedCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(queue_.size());
}

bool VirtualOutputDevice::IsPaused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

std::vector<const unsigned char*> VirtualOutputDevice::QueuedData() const {
  std::lock_guard lock(mutex_);
  std::vector<const unsigned char*> data;
  for (const WaveHeader* h : queue_) data.push_back(h->data);
  return data;
}

}  // namespace tonewarden
