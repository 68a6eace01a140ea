#include "virtual_input_device.h"

#include <algorithm>

#include "device_listener.h"
#include "wave_header.h"

namespace tonewarden {

VirtualInputDevice::VirtualInputDevice()
    : generator_([](std::int64_t) { return std::pair<std::int16_t, std::int16_t>(0, 0); }) {}

std::string VirtualInputDevice::Check(const std::string& call) const {
  const auto it = failures_.find(call);
  return it == failures_.end() ? std::string() : it->second;
}

void VirtualInputDevice::FailOn(const std::string& call, const std::string& text) {
  std::lock_guard lock(mutex_);
  failures_[call] = text;
}

void VirtualInputDevice::SetGenerator(Generator generator) {
  std::lock_guard lock(mutex_);
  generator_ = std::move(generator);
}

std::string VirtualInputDevice::Open(const WaveFormat&, DeviceListener* listener) {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Open"); !e.empty()) return e;
  listener_ = listener;
  open_ = true;
  return {};
}

std::string VirtualInputDevice::Prepare(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Prepare"); !e.empty()) return e;
  header->flags |= WaveHeader::kPrepared;
  return {};
}

std::string VirtualInputDevice::Unprepare(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  if (header->flags & WaveHeader::kInQueue) return "still recording";
  header->flags &= ~WaveHeader::kPrepared;
  return {};
}

std::string VirtualInputDevice::AddBuffer(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  if (auto e = Check("AddBuffer"); !e.empty()) return e;
  if (!(header->flags & WaveHeader::kPrepared)) return "header not prepared";
  header->flags = (header->flags & ~WaveHeader::kDone) | WaveHeader::kInQueue;
  queue_.push_back(header);
  return {};
}

std::string VirtualInputDevice::Start() {
  std::lock_guard lock(mutex_);
  if (auto e = Check("Start"); !e.empty()) return e;
  started_ = true;
  return {};
}

std::string VirtualInputDevice::Stop() {
  std::deque<WaveHeader*> done;
  {
    std::lock_guard lock(mutex_);
    if (auto e = Check("Stop"); !e.empty()) return e;
    started_ = false;
    // The buffer being filled comes back with what it holds.
    if (!queue_.empty() && queue_.front()->bytesRecorded > 0) {
      WaveHeader* h = queue_.front();
      queue_.pop_front();
      h->flags = (h->flags & ~WaveHeader::kInQueue) | WaveHeader::kDone;
      done.push_back(h);
    }
  }
  Notify(done);
  return {};
}

std::string VirtualInputDevice::Reset() {
  std::deque<WaveHeader*> done;
  {
    std::lock_guard lock(mutex_);
    if (auto e = Check("Reset"); !e.empty()) return e;
    started_ = false;
    for (WaveHeader* h : queue_) h->flags = (h->flags & ~WaveHeader::kInQueue) | WaveHeader::kDone;
    done.swap(queue_);
  }
  Notify(done);
  return {};
}

std::string VirtualInputDevice::Close() {
  std::lock_guard lock(mutex_);
  if (!queue_.empty()) return "still recording";
  open_ = false;
  listener_ = nullptr;
  return {};
}

bool VirtualInputDevice::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

bool VirtualInputDevice::IsStarted() const {
  std::lock_guard lock(mutex_);
  return started_;
}

int VirtualInputDevice::QueuedCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(queue_.size());
}

void VirtualInputDevice::Fill(WaveHeader* h, std::uint32_t bytes) {
  auto* s = reinterpret_cast<std::int16_t*>(h->data);
  for (std::uint32_t b = h->bytesRecorded; b + 4 <= bytes; b += 4) {
    const auto [l, r] = generator_(frame_++);
    s[b / 2] = l;
    s[b / 2 + 1] = r;
  }
  h->bytesRecorded = std::max(h->bytesRecorded, bytes);
}

void VirtualInputDevice::CapturePartial(std::uint32_t bytes) {
  std::lock_guard lock(mutex_);
  if (!started_ || queue_.empty()) return;
  Fill(queue_.front(), std::min(bytes, queue_.front()->bufferLength));
}

int VirtualInputDevice::CaptureBlocks(int n) {
  std::deque<WaveHeader*> done;
  {
    std::lock_guard lock(mutex_);
    if (!open_ || !started_) return 0;
    while (n-- > 0 && !queue_.empty()) {
      WaveHeader* h = queue_.front();
      queue_.pop_front();
      Fill(h, h->bufferLength);
      h->flags = (h->flags & ~WaveHeader::kInQueue) | WaveHeader::kDone;
      done.push_back(h);
    }
  }
  Notify(done);
  return static_cast<int>(done.size());
}

void VirtualInputDevice::Notify(const std::deque<WaveHeader*>& done) {
  DeviceListener* listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  if (listener == nullptr) return;
  for (WaveHeader* h : done) listener->OnBlockDone(h);
}

}  // namespace tonewarden
