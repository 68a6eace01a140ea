// Tonewarden benchmarks. Each reference runs on the same data in the same run;
// the ratios are printed at the end.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/ffmpeg_decoder.h"
#include "core/fft_view_state.h"
#include "core/real_fft.h"
#include "core/wave_ring.h"

namespace {

std::map<std::string, double> g_seconds;  // mean time per iteration by name

std::vector<float> RandomSamples(int n) {
  std::mt19937 engine(n);
  std::uniform_real_distribution<float> d(-32768.0f, 32767.0f);
  std::vector<float> x(n);
  for (auto& v : x) v = d(engine);
  return x;
}

void Record(benchmark::State& state, const std::string& name, double seconds) {
  g_seconds[name] = seconds / static_cast<double>(state.iterations());
}

void BM_RealFft(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto input = RandomSamples(n);
  std::vector<float> work(n);
  tonewarden::RealFft fft;
  fft.Init(n);
  double total = 0;
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), work.begin());
    const auto t0 = std::chrono::steady_clock::now();
    fft.Forward(work.data());
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    benchmark::DoNotOptimize(work.data());
  }
  Record(state, "fft/" + std::to_string(n), total);
}

void BM_Fftw(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto input = RandomSamples(n);
  float* in = fftwf_alloc_real(n);
  fftwf_complex* out = fftwf_alloc_complex(n / 2 + 1);
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
  double total = 0;
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), in);
    const auto t0 = std::chrono::steady_clock::now();
    fftwf_execute(plan);
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    benchmark::DoNotOptimize(out);
  }
  Record(state, "fftw/" + std::to_string(n), total);
  fftwf_destroy_plan(plan);
  fftwf_free(in);
  fftwf_free(out);
}

// Intake, window, transform, power and reduction at N = 32768, without painting.
void BM_UpdateFromRing(benchmark::State& state) {
  tonewarden::CWaveRing ring;
  ring.Allocate(120 * 2940);
  ring.format = tonewarden::WaveFormat::Stereo16(44100);
  std::mt19937 engine(1);
  auto* s = reinterpret_cast<std::int16_t*>(ring.data);
  for (std::size_t i = 0; i < ring.size / 2; ++i) s[i] = static_cast<std::int16_t>(engine());
  ring.current = ring.data + 100 * 4;  // the intake wraps
  tonewarden::FftViewState view;
  view.SetSize(1024, 400);
  view.SetFftSize(32768);
  view.SetCpuType(static_cast<int>(state.range(0)));
  view.Relayout();
  for (auto _ : state) benchmark::DoNotOptimize(view.UpdateFromRing(ring));
}

std::string Mp3Path() {
  static const std::string path = [] {
    const auto dir = std::filesystem::temp_directory_path() / "tonewarden-bench";
    std::filesystem::create_directories(dir);
    const std::string mp3 = (dir / "ten-minutes.mp3").string();
    if (!std::filesystem::exists(mp3)) {
      const std::string wav = (dir / "ten-minutes.wav").string();
      std::system(("sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 600 sine 200-8000 sine 440 vol 0.4").c_str());
      std::system(("lame --quiet -b 192 '" + wav + "' '" + mp3 + "'").c_str());
      std::filesystem::remove(wav);
    }
    return mp3;
  }();
  return path;
}

void BM_DecodeMp3(benchmark::State& state) {
  const std::string path = Mp3Path();
  std::vector<std::int16_t> block(2 * 735);
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    tonewarden::FfmpegDecoder decoder;
    if (!decoder.Open(path).ok()) state.SkipWithError("cannot open the test MP3");
    while (decoder.Read(block.data(), 735) == 735) {
    }
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  Record(state, "decode", total);
}

void BM_FfmpegCommand(benchmark::State& state) {
  const std::string command = "ffmpeg -nostdin -v quiet -i '" + Mp3Path() + "' -f s16le - > /dev/null";
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  Record(state, "ffmpeg", total);
}

BENCHMARK(BM_RealFft)->Arg(4096)->Arg(8192)->Arg(16384)->Arg(32768);
BENCHMARK(BM_Fftw)->Arg(4096)->Arg(8192)->Arg(16384)->Arg(32768);
BENCHMARK(BM_UpdateFromRing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FfmpegCommand)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\nRatios (ours / reference, lower is better):\n");
  for (int n : {4096, 8192, 16384, 32768}) {
    const std::string a = "fft/" + std::to_string(n), b = "fftw/" + std::to_string(n);
    if (g_seconds.count(a) && g_seconds.count(b)) {
      std::printf("  FFT N=%-6d %8.2f us vs FFTW %8.2f us  ratio %.2f\n", n, g_seconds[a] * 1e6, g_seconds[b] * 1e6,
                  g_seconds[a] / g_seconds[b]);
    }
  }
  if (g_seconds.count("decode") && g_seconds.count("ffmpeg")) {
    std::printf("  decode 10-min MP3 %.0f ms vs ffmpeg command %.0f ms  ratio %.2f\n", g_seconds["decode"] * 1e3,
                g_seconds["ffmpeg"] * 1e3, g_seconds["decode"] / g_seconds["ffmpeg"]);
  }
  return 0;
}
