// Document benchmarks, each measured against a plain reference on the same
// data in the same run; the "ratio" counter is document time / reference time.
//
//   editor_bench [--benchmark_filter=...]
// Data files go to $VANTRELL_BENCH_DIR (default /tmp/vantrell-bench) and are kept
// between runs. Before the benchmarks, a child process loads the 1 GiB file and
// reports its peak memory.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "document/block_cursor.h"
#include "document/program_clipboard.h"
#include "document/vantrell_doc.h"
#include "shell/prompt_service.h"

namespace vantrell {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t kGiB = std::int64_t{1} << 30;
constexpr std::int64_t kDenseSize = 256 << 20;
constexpr std::uint8_t kDensePattern[2] = {0xFE, 0xFF};
constexpr std::uint8_t kAbsentPattern[8] = {'n', 'o', 't', '-', 'h', 'e', 'r', 'e'};

class SilentPrompt : public PromptService {
 public:
  void Beep() override {}
  Answer Show(const Prompt& prompt) override {
    std::fprintf(stderr, "message %d: %s\n", prompt.id, prompt.text.c_str());
    return Answer::Cancel;
  }
};

class BenchHost : public DocumentHost {
 public:
  PromptService& Prompt() override { return prompt_; }
  ProgramClipboard& Clipboard() override { return clipboard_; }
  int NextUntitledNumber() override { return 1; }

 private:
  SilentPrompt prompt_;
  ProgramClipboard clipboard_;
};

fs::path BenchDir() {
  const char* dir = std::getenv("VANTRELL_BENCH_DIR");
  fs::path path = dir != nullptr ? dir : "/tmp/vantrell-bench";
  fs::create_directories(path);
  return path;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Random bytes (xorshift); with a pattern, bytes avoid its values and the
// pattern is placed every `every` bytes.
std::unique_ptr<std::uint8_t[]> MakeData(std::int64_t size, const std::uint8_t* pattern,
                                         int patternLength, std::int64_t every) {
  std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[size]);
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (std::int64_t i = 0; i < size; i += 8) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    std::memcpy(data.get() + i, &state, std::min<std::int64_t>(8, size - i));
  }
  if (pattern != nullptr) {
    for (std::int64_t i = 0; i < size; ++i)
      if (data[i] >= 0xFE) data[i] = static_cast<std::uint8_t>(data[i] - 2);
    for (std::int64_t i = every - patternLength; i + patternLength <= size; i += every)
      std::memcpy(data.get() + i, pattern, patternLength);
  }
  return data;
}

// The data file of a given kind, made once and kept for later runs.
std::string DataFile(const std::string& name, std::int64_t size, const std::uint8_t* pattern,
                     int patternLength, std::int64_t every) {
  const fs::path path = BenchDir() / name;
  std::error_code error;
  if (fs::file_size(path, error) != static_cast<std::uintmax_t>(size)) {
    const auto data = MakeData(size, pattern, patternLength, every);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.get()), size);
  }
  return path.string();
}

std::string BigFile() { return DataFile("random-1g.bin", kGiB, nullptr, 0, 0); }
std::string DenseFile() {
  return DataFile("pattern-every-64-256m.bin", kDenseSize, kDensePattern, 2, 64);
}

// Reads a whole file into one fresh buffer with one read(2) (the reference).
std::unique_ptr<std::uint8_t[]> ReadWhole(const std::string& path, std::int64_t size) {
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size]);
  const int fd = ::open(path.c_str(), O_RDONLY);
  std::int64_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, buffer.get() + done, size - done);
    if (got <= 0) break;
    done += got;
  }
  ::close(fd);
  return buffer;
}

std::unique_ptr<CVantrellDoc> Load(BenchHost& host, const std::string& path) {
  DocumentSettings settings;
  settings.backupGenerations = 0;
  auto doc = std::make_unique<CVantrellDoc>(host, settings, std::vector<ExtProfile>{});
  if (!doc->OnOpenDocument(path)) std::abort();
  return doc;
}

void SetRatio(benchmark::State& state, double document, double reference, int iterations) {
  state.counters["document_s"] = document / iterations;
  state.counters["reference_s"] = reference / iterations;
  state.counters["ratio"] = document / reference;
}

void BM_LoadVsRead(benchmark::State& state) {
  const std::string path = BigFile();
  BenchHost host;
  // One untimed round of each first: it brings the file into the page cache,
  // and memory touched for the first time by the machine costs far more than
  // memory used before, whichever side of the comparison meets it.
  Load(host, path).reset();
  ReadWhole(path, kGiB).reset();
  double document = 0, reference = 0;
  int iterations = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    auto doc = Load(host, path);
    auto t1 = Clock::now();
    doc.reset();
    auto t2 = Clock::now();
    auto buffer = ReadWhole(path, kGiB);
    benchmark::DoNotOptimize(buffer.get());
    auto t3 = Clock::now();
    document += Seconds(t1 - t0);
    reference += Seconds(t3 - t2);
    ++iterations;
    state.SetIterationTime(Seconds(t1 - t0));
  }
  SetRatio(state, document, reference, iterations);
}
BENCHMARK(BM_LoadVsRead)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_SaveVsWrite(benchmark::State& state) {
  const std::string path = BigFile();
  BenchHost host;
  auto doc = Load(host, path);
  const auto flat = ReadWhole(path, kGiB);
  const std::string documentOut = (BenchDir() / "saved-by-document.bin").string();
  const std::string referenceOut = (BenchDir() / "saved-by-write.bin").string();
  double document = 0, reference = 0;
  int iterations = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    if (!doc->WriteFile(documentOut)) std::abort();
    auto t1 = Clock::now();
    const int fd = ::open(referenceOut.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    for (std::int64_t done = 0; done < kGiB;) {
      const ssize_t written = ::write(fd, flat.get() + done, kGiB - done);
      if (written <= 0) std::abort();
      done += written;
    }
    ::fsync(fd);
    ::close(fd);
    auto t2 = Clock::now();
    document += Seconds(t1 - t0);
    reference += Seconds(t2 - t1);
    ++iterations;
    state.SetIterationTime(Seconds(t1 - t0));
    fs::remove(documentOut);
    fs::remove(referenceOut);
  }
  SetRatio(state, document, reference, iterations);
}
BENCHMARK(BM_SaveVsWrite)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_InsertAroundMiddle(benchmark::State& state) {
  BenchHost host;
  auto doc = Load(host, BigFile());
  DocPos position = doc->Length() / 2;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      if (!doc->EditInsertByte(position++, static_cast<std::uint8_t>(i))) std::abort();
    }
  }
  state.counters["per_insert_us"] = benchmark::Counter(
      state.iterations() * 1000.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
      benchmark::Counter::kIs1000);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_InsertAroundMiddle)->Unit(benchmark::kMicrosecond);

void BM_FindEveryOccurrence(benchmark::State& state) {
  const std::string path = DenseFile();
  BenchHost host;
  auto doc = Load(host, path);
  const auto flat = ReadWhole(path, kDenseSize);
  double document = 0, reference = 0;
  int iterations = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    std::int64_t documentMatches = 0;
    DocPos found = 0;
    for (DocPos from = 0; BlockCursor(doc->Blocks())
                              .FindPattern(kDensePattern, 2, BlockCursor::Direction::Forward, from,
                                           0, found);
         from = found + 1)
      ++documentMatches;
    auto t1 = Clock::now();
    std::int64_t referenceMatches = 0;
    const std::uint8_t* end = flat.get() + kDenseSize;
    for (const std::uint8_t* at = flat.get();
         (at = static_cast<const std::uint8_t*>(::memmem(at, end - at, kDensePattern, 2))) !=
         nullptr;
         ++at)
      ++referenceMatches;
    auto t2 = Clock::now();
    if (documentMatches != referenceMatches || documentMatches != kDenseSize / 64) std::abort();
    document += Seconds(t1 - t0);
    reference += Seconds(t2 - t1);
    ++iterations;
    state.SetIterationTime(Seconds(t1 - t0));
  }
  SetRatio(state, document, reference, iterations);
}
BENCHMARK(BM_FindEveryOccurrence)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_FindAbsentPattern(benchmark::State& state) {
  const std::string path = BigFile();
  BenchHost host;
  auto doc = Load(host, path);
  const auto flat = ReadWhole(path, kGiB);
  double document = 0, reference = 0;
  int iterations = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    DocPos found = 0;
    const bool inDocument = BlockCursor(doc->Blocks())
                                .FindPattern(kAbsentPattern, 8, BlockCursor::Direction::Forward,
                                             0, 0, found);
    auto t1 = Clock::now();
    const void* inFlat = ::memmem(flat.get(), kGiB, kAbsentPattern, 8);
    auto t2 = Clock::now();
    if (inDocument || inFlat != nullptr) std::abort();
    document += Seconds(t1 - t0);
    reference += Seconds(t2 - t1);
    ++iterations;
    state.SetIterationTime(Seconds(t1 - t0));
  }
  SetRatio(state, document, reference, iterations);
}
BENCHMARK(BM_FindAbsentPattern)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return -1;
}

// Loads the 1 GiB file in a fresh child process and prints its peak memory.
void ReportPeakMemoryAfterLoad() {
  const std::string path = BigFile();
  std::fflush(stdout);
  const pid_t child = ::fork();
  if (child == 0) {
    BenchHost host;
    auto doc = Load(host, path);
    std::printf("Peak memory after loading 1 GiB: %.3f GiB (resident now %.3f GiB)\n",
                StatusKiB("VmHWM:") / 1048576.0, StatusKiB("VmRSS:") / 1048576.0);
    std::fflush(stdout);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
}

}  // namespace
}  // namespace vantrell

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  vantrell::ReportPeakMemoryAfterLoad();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
