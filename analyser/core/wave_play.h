#pragma once

// CWavePlay: plays one media file block by block and keeps the last second
// played, and the second queued after it, in a ring of 120 blocks of 1/60 s.
// Each finished block refills its partner one second ahead, moves the
// position and posts a block-ready notice.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "block_record.h"
#include "device_listener.h"
#include "engine_thread.h"
#include "pcm_source.h"

namespace tonewarden {

class AudioOutputDevice;
class CWaveRing;
class EngineHost;
struct WaveFormat;

class CWavePlay final : private DeviceListener {
 public:
  CWavePlay(EngineHost& host, AudioOutputDevice& device);
  ~CWavePlay() override;
  CWavePlay(const CWavePlay&) = delete;
  CWavePlay& operator=(const CWavePlay&) = delete;

  // Opens the file through FFmpeg, fills `format`, primes 60 blocks and leaves the device paused.
  [[nodiscard]] bool OpenStream(WaveFormat& format, int blockCount, int blocksPerSecond, CWaveRing& ring,
                                const std::string& path);
  // The same with a source already opened.
  [[nodiscard]] bool OpenSource(WaveFormat& format, int blockCount, int blocksPerSecond, CWaveRing& ring,
                                std::unique_ptr<PcmSource> source);
  void Restart();
  void Pause();
  [[nodiscard]] bool IsPlaying() const { return playing_; }
  [[nodiscard]] bool IsResetting() const { return resetting_; }
  void ResetOutput();
  // Refills the whole ring so that playback goes on after tick p; stays paused.
  void SeekTo(int p);
  void Close();
  [[nodiscard]] long long DurationTicks() const;

  // For tests: waits until every notice posted so far has been handled.
  void WaitIdle() { thread_.WaitIdle(); }
  [[nodiscard]] const std::vector<BlockRecord>& records() const { return records_; }
  [[nodiscard]] int decodeCounter() const { return decodeCounter_; }

 private:
  void OnBlockDone(WaveHeader* header) override;
  void HandleBlockDone(WaveHeader* header);
  void Decode(BlockRecord& record);
  [[nodiscard]] std::string Queue(BlockRecord& record);
  bool Fail(int code, const std::string& text, const std::string& cause);
  bool DeviceFailed(const std::string& error);
  void Release(bool report);

  EngineHost& host_;
  AudioOutputDevice& device_;
  WaveFormat* format_ = nullptr;
  CWaveRing* ring_ = nullptr;
  int blockCount_ = 120;
  int perSecond_ = 60;
  std::uint32_t blockBytes_ = 0;
  std::vector<BlockRecord> records_;
  int decodeCounter_ = 0;
  std::atomic<bool> playing_ = false;
  std::atomic<bool> resetting_ = false;
  int outstanding_ = 0;  // blocks on the device not yet returned
  std::unique_ptr<PcmSource> source_;

  mutable std::mutex mutex_;
  std::condition_variable returned_;
  EngineThread thread_;  // last: it must stop before the rest goes
};

}  // namespace tonewarden
