#include "core/wave_play.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/virtual_output_device.h"
#include "core/wave_ring.h"
#include "media_maker.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace tonewarden {
namespace {

// Frames numbered from the start of the stream, so a block tells which tick it holds.
class CounterSource final : public PcmSource {
 public:
  CounterSource(int rate, std::int64_t frames, bool seekable, int channels = 2)
      : frames_(frames), seekable_(seekable) {
    format_ = WaveFormat::Stereo16(static_cast<std::uint32_t>(rate));
    format_.channels = static_cast<std::uint16_t>(channels);
  }
  [[nodiscard]] const WaveFormat& format() const override { return format_; }
  int Read(std::int16_t* out, int frames) override {
    int done = 0;
    for (; done < frames && at_ < frames_; ++done, ++at_) {
      const auto [l, r] = test::CounterFrame(at_);
      out[2 * done] = static_cast<std::int16_t>(l);
      out[2 * done + 1] = static_cast<std::int16_t>(r);
    }
    return done;
  }
  bool Seek(std::int64_t time100ns) override {
    if (!seekable_ && time100ns != 0) return false;
    at_ = (time100ns * format_.samplesPerSec + 5'000'000) / 10'000'000;  // nearest frame, as FFmpeg rounds
    return true;
  }
  [[nodiscard]] std::int64_t Duration100ns() const override { return frames_ * 10'000'000 / format_.samplesPerSec; }
  [[nodiscard]] bool CanSeek() const override { return seekable_; }

 private:
  WaveFormat format_;
  std::int64_t frames_;
  std::int64_t at_ = 0;
  bool seekable_;
};

// True when the block holds the frames of tick `tick` (silence for negative ticks).
::testing::AssertionResult HoldsTick(const BlockRecord& record, int tick, int frames) {
  const auto* s = reinterpret_cast<const std::int16_t*>(record.header.data);
  for (int i = 0; i < frames; ++i) {
    int l = 0, r = 0;
    if (tick >= 0) std::tie(l, r) = test::CounterFrame(static_cast<std::int64_t>(tick) * frames + i);
    if (s[2 * i] != l || s[2 * i + 1] != r) {
      return ::testing::AssertionFailure() << "frame " << i << " is not from tick " << tick;
    }
  }
  return ::testing::AssertionSuccess();
}

class WavePlayTest : public ::testing::Test {
 protected:
  bool Open(int rate, std::int64_t frames, bool seekable = true) {
    return play.OpenSource(format, 120, 60, ring, std::make_unique<CounterSource>(rate, frames, seekable));
  }
  // Plays n blocks, letting the playback thread refill after each.
  void Play(int n) {
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(device.PlayBlocks(1), 1);
      play.WaitIdle();
    }
  }

  test::RecordingHost host;
  VirtualOutputDevice device;
  CWaveRing ring;
  WaveFormat format;
  CWavePlay play{host, device};
};

TEST_F(WavePlayTest, OpenPrimesOneSecondPausedWithPartnersHalfARingAway) {
  struct SizeCase {
    int rate;
    std::uint32_t blockBytes;
    std::size_t ringBytes;
  };
  for (const SizeCase& c : {SizeCase{44100, 2940, 352800}, SizeCase{48000, 3200, 384000}}) {
    test::RecordingHost h;
    VirtualOutputDevice d;
    CWaveRing r;
    WaveFormat f;
    CWavePlay p(h, d);
    ASSERT_TRUE(p.OpenSource(f, 120, 60, r, std::make_unique<CounterSource>(c.rate, c.rate * 10, true)));
    EXPECT_EQ(f.samplesPerSec, static_cast<std::uint32_t>(c.rate));
    EXPECT_EQ(r.size, c.ringBytes);
    EXPECT_TRUE(d.IsPaused());
    EXPECT_EQ(d.QueuedCount(), 60);
    for (int i = 0; i < 120; ++i) {
      const BlockRecord& rec = p.records()[i];
      EXPECT_EQ(rec.partner, (i + 60) % 120);
      EXPECT_EQ(rec.header.bufferLength, c.blockBytes);
      if (i < 60) {
        EXPECT_EQ(rec.sequence, i);
        EXPECT_TRUE(HoldsTick(rec, i, c.rate / 60));
      }
    }
    EXPECT_EQ(p.DurationTicks(), 600);
  }
}

TEST_F(WavePlayTest, EachPlayedBlockMovesThePositionPostsTheRingAndRefillsItsPartner) {
  ASSERT_TRUE(Open(44100, 44100 * 10));
  play.Restart();
  EXPECT_TRUE(play.IsPlaying());
  Play(3);
  EXPECT_EQ(host.positions(), (std::vector<int>{0, 1, 2}));
  ASSERT_EQ(host.posts().size(), 3u);
  EXPECT_EQ(host.posts()[2].ring, &ring);
  EXPECT_EQ(ring.current, play.records()[2].header.data + 2940 - 4);
  for (int k = 60; k < 63; ++k) {
    EXPECT_EQ(play.records()[k].sequence, k);
    EXPECT_TRUE(HoldsTick(play.records()[k], k, 735));
  }
  EXPECT_EQ(device.QueuedCount(), 60);
  EXPECT_EQ(device.QueuedData().back(), play.records()[62].header.data);

  // While the interface is busy, the post carries no ring.
  host.busy = true;
  Play(1);
  EXPECT_EQ(host.posts().back().ring, nullptr);
  EXPECT_EQ(host.positions().back(), 3);
}

TEST_F(WavePlayTest, SeekToTickTenFillsSilenceBeforeTheStartAndQueuesTheNextSecond) {
  ASSERT_TRUE(Open(44100, 44100 * 10));
  play.Restart();
  Play(5);
  play.ResetOutput();
  play.Pause();
  play.SeekTo(10);
  for (int k = 0; k <= 48; ++k) {
    EXPECT_EQ(play.records()[k].sequence, k - 49);
    EXPECT_TRUE(HoldsTick(play.records()[k], -1, 735)) << k;
  }
  for (int k = 49; k < 120; ++k) {
    EXPECT_EQ(play.records()[k].sequence, k - 49);
    EXPECT_TRUE(HoldsTick(play.records()[k], k - 49, 735)) << k;
  }
  EXPECT_EQ(ring.current, play.records()[60].header.data - 4) << "the last frame of tick 10";
  EXPECT_EQ(play.decodeCounter(), 71);
  ASSERT_EQ(device.QueuedCount(), 60);
  EXPECT_EQ(device.QueuedData().front(), play.records()[60].header.data);
  EXPECT_EQ(host.posts().back().ring, &ring);
  EXPECT_TRUE(device.IsPaused());
  EXPECT_FALSE(play.IsPlaying());

  // Resuming plays tick 11 next.
  play.Restart();
  Play(1);
  EXPECT_EQ(host.positions().back(), 11);
}

TEST_F(WavePlayTest, SeekInTheMiddleDecodesTheSecondBeforeAndAfter) {
  ASSERT_TRUE(Open(48000, 48000 * 10));
  play.ResetOutput();
  play.SeekTo(300);
  for (int k = 0; k < 120; ++k) {
    ASSERT_EQ(play.records()[k].sequence, 241 + k);
    ASSERT_TRUE(HoldsTick(play.records()[k], 241 + k, 800)) << k;
  }
}

TEST_F(WavePlayTest, TheEndOfASeekableStreamPadsWithSilenceAndLoopsToTickZero) {
  // 100 whole blocks and 100 frames of a 101st.
  ASSERT_TRUE(Open(44100, 100 * 735 + 100));
  play.Restart();
  Play(45);  // refills 60 .. 104
  const BlockRecord& last = play.records()[100 % 120];
  EXPECT_EQ(last.sequence, 100);
  const auto* s = reinterpret_cast<const std::int16_t*>(last.header.data);
  EXPECT_EQ(s[2 * 99], test::CounterFrame(100 * 735 + 99).first);
  EXPECT_EQ(s[2 * 100], 0);
  EXPECT_EQ(s[2 * 734 + 1], 0);
  EXPECT_EQ(play.records()[101].sequence, 0);
  EXPECT_TRUE(HoldsTick(play.records()[101], 0, 735));
  Play(60);
  const auto positions = host.positions();
  ASSERT_EQ(positions.size(), 105u);
  EXPECT_EQ(positions[100], 100);
  EXPECT_EQ(positions[101], 0) << "the position restarts at 0";
  EXPECT_EQ(positions[104], 3);
}

TEST_F(WavePlayTest, ANonSeekableStreamKeepsPlayingSilence) {
  ASSERT_TRUE(Open(44100, 70 * 735, false));
  play.Restart();
  Play(30);
  for (int k = 70; k < 90; ++k) {
    EXPECT_EQ(play.records()[k].sequence, k);
    EXPECT_TRUE(HoldsTick(play.records()[k], -1, 735)) << k;
  }
}

TEST_F(WavePlayTest, StopReturnsEveryQueuedBlockAndRefillsNothing) {
  ASSERT_TRUE(Open(44100, 44100 * 10));
  play.Restart();
  Play(2);
  std::vector<std::uint8_t> before(ring.data, ring.data + ring.size);
  play.Close();
  EXPECT_EQ(device.QueuedCount(), 0);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(std::memcmp(before.data(), ring.data, ring.size), 0);
  EXPECT_EQ(host.positions().size(), 2u);
}

TEST_F(WavePlayTest, SourcesThatAreNotSixteenBitStereoAreRefused) {
  ASSERT_FALSE(play.OpenSource(format, 120, 60, ring, std::make_unique<CounterSource>(44100, 44100, true, 1)));
  EXPECT_EQ(host.messages(), (std::vector<std::string>{"この版は16bit、stereoﾃﾞｰﾀのみのｻﾎﾟｰﾄです(^^;"}));
  EXPECT_FALSE(device.IsOpen());
}

TEST_F(WavePlayTest, DeviceAndFileFailuresShowTheirTexts) {
  device.FailOn("Open", "no output device");
  EXPECT_FALSE(Open(44100, 44100));
  test::TempDir dir;
  EXPECT_FALSE(play.OpenStream(format, 120, 60, ring, dir.File("missing.mp3")));
  const auto messages = host.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "no output device");
  EXPECT_EQ(messages[1].rfind("CWavePlay:387 ﾌｧｲﾙを開けません\n\n", 0), 0u) << messages[1];
}

TEST_F(WavePlayTest, PlaysARealFileThroughTheDecoder) {
  test::TempDir dir;
  const std::string path = dir.File("counter.wav");
  test::WriteCounterWav(path, 48000 * 3, 48000);
  ASSERT_TRUE(play.OpenStream(format, 120, 60, ring, path));
  EXPECT_EQ(format.samplesPerSec, 48000u);
  EXPECT_EQ(play.DurationTicks(), 180);
  play.Restart();
  Play(10);
  EXPECT_TRUE(HoldsTick(play.records()[69], 69, 800));
  play.ResetOutput();
  play.SeekTo(150);
  EXPECT_TRUE(HoldsTick(play.records()[0], 91, 800));
  EXPECT_EQ(play.records()[89].sequence, 180);
  EXPECT_TRUE(HoldsTick(play.records()[89], -1, 800)) << "past the end: silence";
  EXPECT_EQ(play.records()[90].sequence, 0) << "the stream ended and looped while filling";
  EXPECT_TRUE(HoldsTick(play.records()[90], 0, 800));
}

}  // namespace
}  // namespace tonewarden
