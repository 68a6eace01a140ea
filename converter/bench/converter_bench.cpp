// Converter benchmarks, each measured against a named reference on the same
// data in the same run; the "ratio" counter is our time / reference time.
//
//   converter_bench [--benchmark_filter=...]
// Data files go to $SONATRA_BENCH_DIR (default /tmp/sonatra-bench) and are kept
// between runs: a 10-minute 44.1 kHz 16-bit stereo WAV and its MP3.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "core/basic.h"
#include "core/c_conv_wave.h"
#include "core/c_decode_audio.h"
#include "core/c_mp3acm.h"
#include "core/wave_mmio.h"

namespace sonatra {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path BenchDir() {
  const char* dir = std::getenv("SONATRA_BENCH_DIR");
  fs::path path = dir != nullptr ? dir : "/tmp/sonatra-bench";
  fs::create_directories(path);
  return path;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

void Shell(const std::string& command) {
  if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::abort();
  }
}

// Ten minutes of two tones with a little noise, so the encoder has real work.
fs::path SourceWav() {
  const fs::path path = BenchDir() / "ten-minutes.wav";
  if (ReadWaveInfo(path.string()).Frames != 600 * 44100)
    Shell("sox -n -r 44100 -c 2 -b 16 " + Quote(path) +
          " synth 600 sine 440 sine 660 synth 600 pinknoise amod 0.3 vol 0.5");
  return path;
}

fs::path SourceMp3() {
  const fs::path path = BenchDir() / "ten-minutes.mp3";
  if (!fs::exists(path)) Shell("lame --quiet -b 128 " + Quote(SourceWav()) + " " + Quote(path));
  return path;
}

double Seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Report(benchmark::State& state, const char* name, double ours, double reference, int runs) {
  state.counters["ours_s"] = ours / runs;
  state.counters[std::string(name) + "_s"] = reference / runs;
  state.counters["ratio_" + std::string(name)] = ours / reference;
}

void BM_ConvertTo22050Mono(benchmark::State& state) {
  const fs::path in = SourceWav();
  const fs::path out = BenchDir() / "out.wav";
  const fs::path ref = BenchDir() / "ref.wav";
  double ours = 0, ffmpeg = 0, cp = 0;
  int runs = 0;
  for (auto _ : state) {
    const double t = Seconds([&] {
      C_ConvWave cw;
      if (cw.ConvWave(in.string(), out.string(), 22050, 16, 1, 1, 0) != 1) std::abort();
    });
    state.SetIterationTime(t);
    ours += t;
    ffmpeg += Seconds([&] { Shell("ffmpeg -y -loglevel error -i " + Quote(in) + " -ar 22050 -ac 1 " + Quote(ref)); });
    cp += Seconds([&] { Shell("cp " + Quote(in) + " " + Quote(ref)); });
    ++runs;
  }
  Report(state, "ffmpeg", ours, ffmpeg, runs);
  state.counters["cp_s"] = cp / runs;
  state.counters["ratio_cp"] = ours / cp;
  fs::remove(out);
  fs::remove(ref);
}

void BM_EncodeMp3At128(benchmark::State& state) {
  const fs::path in = SourceWav();
  const fs::path out = BenchDir() / "out.mp3";
  const fs::path ref = BenchDir() / "ref.mp3";
  double ours = 0, lame = 0;
  int runs = 0;
  for (auto _ : state) {
    const double t = Seconds([&] {
      C_mp3acm enc;
      if (enc.EncFromWavfile(in.string(), out.string(), 128) != 1) std::abort();
    });
    state.SetIterationTime(t);
    ours += t;
    lame += Seconds([&] { Shell("lame --quiet -b 128 " + Quote(in) + " " + Quote(ref)); });
    ++runs;
  }
  Report(state, "lame", ours, lame, runs);
  fs::remove(out);
  fs::remove(ref);
}

void BM_DecodeMp3(benchmark::State& state) {
  const fs::path in = SourceMp3();
  const fs::path out = BenchDir() / "decoded.wav";
  const fs::path ref = BenchDir() / "ref.wav";
  double ours = 0, ffmpeg = 0;
  int runs = 0;
  for (auto _ : state) {
    const double t = Seconds([&] {
      C_DecodeAudio decoder;
      if (decoder.DecodeAudio(in.string(), out.string()) != 1) std::abort();
    });
    state.SetIterationTime(t);
    ours += t;
    ffmpeg += Seconds([&] { Shell("ffmpeg -y -loglevel error -i " + Quote(in) + " " + Quote(ref)); });
    ++runs;
  }
  Report(state, "ffmpeg", ours, ffmpeg, runs);
  fs::remove(out);
  fs::remove(ref);
}

BENCHMARK(BM_ConvertTo22050Mono)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeMp3At128)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeMp3)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sonatra

BENCHMARK_MAIN();
