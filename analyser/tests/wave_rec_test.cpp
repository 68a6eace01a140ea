#include "core/wave_rec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "core/virtual_input_device.h"
#include "core/wave_ring.h"
#include "media_maker.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace tonewarden {
namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

class WaveRecTest : public ::testing::Test {
 protected:
  WaveRecTest() {
    device.SetGenerator([](std::int64_t i) {
      const auto [l, r] = test::CounterFrame(i);
      return std::pair<std::int16_t, std::int16_t>(static_cast<std::int16_t>(l), static_cast<std::int16_t>(r));
    });
  }
  // Captures n blocks, letting the capture thread re-queue after each.
  void Capture(int n) {
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(device.CaptureBlocks(1), 1);
      rec.WaitIdle();
    }
  }

  test::TempDir dir;
  test::RecordingHost host;
  VirtualInputDevice device;
  CWaveRing ring;
  WaveFormat format = WaveFormat::Stereo16(44100);
  CWaveRec rec{host, device};
};

TEST_F(WaveRecTest, ThreeSecondsAt44100HzMake180BlocksInTheFile) {
  const std::string path = dir.File("take.wav");
  ASSERT_TRUE(rec.OpenCapture(format, 120, 60, ring, path));
  EXPECT_FALSE(device.IsStarted()) << "the device waits for Pause";
  EXPECT_EQ(device.QueuedCount(), 60);
  EXPECT_EQ(ring.size, 352800u);
  rec.StartCapture(true);
  Capture(180);
  rec.Close(true);

  const auto bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 44u + 529200u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), std::string("RIFF\x54\x13\x08\x00WAVEfmt ", 16));
  EXPECT_EQ(U32(bytes, 4), 529236u);
  EXPECT_EQ(U32(bytes, 16), 16u);
  EXPECT_EQ(bytes[20] | bytes[21] << 8, 1);
  EXPECT_EQ(bytes[22] | bytes[23] << 8, 2);
  EXPECT_EQ(U32(bytes, 24), 44100u);
  EXPECT_EQ(U32(bytes, 28), 176400u);
  EXPECT_EQ(bytes[32] | bytes[33] << 8, 4);
  EXPECT_EQ(bytes[34] | bytes[35] << 8, 16);
  EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
  EXPECT_EQ(U32(bytes, 40), 529200u);
  const auto* frames = reinterpret_cast<const std::int16_t*>(bytes.data() + 44);
  for (int i = 0; i < 180 * 735; ++i) {
    ASSERT_EQ(frames[2 * i], test::CounterFrame(i).first) << i;
    ASSERT_EQ(frames[2 * i + 1], test::CounterFrame(i).second) << i;
  }
  // Block k of the run reports position k.
  const auto positions = host.positions();
  ASSERT_EQ(positions.size(), 180u);
  for (int k = 0; k < 180; ++k) ASSERT_EQ(positions[k], k);
}

TEST_F(WaveRecTest, StopBeforeTheDeviceEverStartedLeavesAnEmptyValidFile) {
  const std::string path = dir.File("empty.wav");
  ASSERT_TRUE(rec.OpenCapture(format, 120, 60, ring, path));
  rec.Close(true);
  const auto bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 44u);
  EXPECT_EQ(U32(bytes, 4), 36u);
  EXPECT_EQ(U32(bytes, 40), 0u);
  EXPECT_TRUE(host.messages().empty());
}

TEST_F(WaveRecTest, PauseWritesThePartlyFilledBufferAndResumeAppends) {
  const std::string path = dir.File("paused.wav");
  ASSERT_TRUE(rec.OpenCapture(format, 120, 60, ring, path));
  rec.StartCapture(true);
  Capture(2);
  device.CapturePartial(400);
  rec.StopCapture(true);
  rec.WaitIdle();
  EXPECT_FALSE(rec.IsRunning());
  EXPECT_EQ(ring.current, rec.records()[2].header.data + 400 - 4);
  EXPECT_EQ(host.posts().back().bytes, 400);
  rec.StartCapture(true);
  Capture(1);
  device.CapturePartial(100);  // lost: the final reset drops what was not completed
  rec.Close(true);
  const auto bytes = ReadBytes(path);
  EXPECT_EQ(U32(bytes, 40), 2u * 2940 + 400 + 2940);
  EXPECT_EQ(bytes.size(), 44u + U32(bytes, 40));
  const auto* frames = reinterpret_cast<const std::int16_t*>(bytes.data() + 44);
  const int total = static_cast<int>(U32(bytes, 40) / 4);
  for (int i = 0; i < total; ++i) ASSERT_EQ(frames[2 * i], test::CounterFrame(i).first) << i;
}

TEST_F(WaveRecTest, FreeRunWritesNoFileAndPostsTheRing) {
  ASSERT_TRUE(rec.OpenCapture(format, 120, 60, ring, ""));
  EXPECT_FALSE(rec.IsRecording());
  rec.StartCapture(true);
  Capture(3);
  host.busy = true;
  Capture(1);
  const auto posts = host.posts();
  ASSERT_EQ(posts.size(), 4u);
  EXPECT_EQ(posts[0].ring, &ring);
  EXPECT_EQ(posts[0].bytes, 2940);
  EXPECT_EQ(posts[3].ring, nullptr);
  EXPECT_EQ(posts[3].bytes, 0);
  EXPECT_EQ(ring.current, rec.records()[3].header.data + 2940 - 4);
  EXPECT_EQ(rec.records()[0].sequence, 120) << "renumbered one turn ahead";
  rec.Close(true);
  EXPECT_FALSE(device.IsOpen());
}

TEST_F(WaveRecTest, AFileThatCannotBeCreatedIsReportedAndCaptureDoesNotStart) {
  const std::string path = dir.File("no/such/folder/take.wav");
  EXPECT_FALSE(rec.OpenCapture(format, 120, 60, ring, path));
  ASSERT_EQ(host.messages().size(), 1u);
  EXPECT_NE(host.messages()[0].find(path), std::string::npos);
  EXPECT_FALSE(device.IsOpen());
}

TEST_F(WaveRecTest, AFullDiskIsReportedOnceAndCaptureGoesOn) {
  ASSERT_TRUE(rec.OpenCapture(format, 120, 60, ring, "/dev/full"));
  rec.StartCapture(true);
  Capture(20);
  EXPECT_EQ(host.messages().size(), 1u);
  EXPECT_FALSE(rec.IsRecording());
  EXPECT_EQ(host.positions().size(), 20u);
  rec.Close(false);
}

TEST_F(WaveRecTest, DeviceErrorsWhileOpeningAreShown) {
  device.FailOn("AddBuffer", "input buffer refused");
  EXPECT_FALSE(rec.OpenCapture(format, 120, 60, ring, ""));
  EXPECT_EQ(host.messages(), (std::vector<std::string>{"input buffer refused"}));
}

}  // namespace
}  // namespace tonewarden
