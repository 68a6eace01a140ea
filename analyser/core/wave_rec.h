#pragma once

// CWaveRec: captures 16-bit stereo PCM in blocks of 1/60 s into a ring of 120
// blocks (free run) and, when recording, appends every captured block to a
// WAV file.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "block_record.h"
#include "device_listener.h"
#include "engine_thread.h"
#include "wav_record_file.h"
#include "wave_format.h"

namespace tonewarden {

class AudioInputDevice;
class CWaveRing;
class EngineHost;

class CWaveRec final : private DeviceListener {
 public:
  CWaveRec(EngineHost& host, AudioInputDevice& device);
  ~CWaveRec() override;
  CWaveRec(const CWaveRec&) = delete;
  CWaveRec& operator=(const CWaveRec&) = delete;

  // Opens the file (when named) and the device, queues the first second; the device stays stopped.
  [[nodiscard]] bool OpenCapture(const WaveFormat& format, int blockCount, int blocksPerSecond, CWaveRing& ring,
                                 const std::string& path);
  void StartCapture(bool report);
  void StopCapture(bool report);
  [[nodiscard]] bool IsRunning() const { return running_; }
  [[nodiscard]] bool IsRecording() const { return recording_; }
  // Resets the device, then completes the file with its sizes.
  void FinishFile(bool report);
  void Close(bool report);

  void WaitIdle() { thread_.WaitIdle(); }
  [[nodiscard]] const std::vector<BlockRecord>& records() const { return records_; }

 private:
  void OnBlockDone(WaveHeader* header) override;
  void HandleBufferFilled(WaveHeader* header);
  void Report(bool report, const std::string& error);
  void Release(bool report);

  EngineHost& host_;
  AudioInputDevice& device_;
  WaveFormat format_;
  CWaveRing* ring_ = nullptr;
  int blockCount_ = 120;
  std::uint32_t blockBytes_ = 0;
  std::vector<BlockRecord> records_;
  int counter_ = 0;
  std::atomic<bool> running_ = false;
  std::atomic<bool> resetting_ = false;
  std::atomic<bool> recording_ = false;
  WavRecordFile file_;
  std::string path_;
  std::mutex mutex_;
  EngineThread thread_;  // last: it must stop before the rest goes
};

}  // namespace tonewarden
