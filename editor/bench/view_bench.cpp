// View benchmarks, offscreen:
//  - one full repaint of a maximised view (60 lines of 16 bytes, Shift-JIS)
//    near the end of a 1 GiB document;
//  - opening a 1 GiB file in the main window up to its first painted screen,
//    against the document's own load of the same file in the same run.
// The data file is the one the document benchmarks make
// ($VANTRELL_BENCH_DIR, default /tmp/vantrell-bench).

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "shell/main_frame.h"
#include "shell/child_frame.h"
#include "view/vantrell_view.h"

namespace vantrell {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr std::int64_t kGiB = std::int64_t{1} << 30;

class QuietPrompt : public PromptService {
 public:
  void Beep() override {}
  Answer Show(const Prompt& prompt) override {
    std::fprintf(stderr, "message %d: %s\n", prompt.id, prompt.text.c_str());
    return Answer::Cancel;
  }
};

// Bytes that look like Shift-JIS text: ASCII with double-byte characters.
std::string BigFile() {
  const char* dir = std::getenv("VANTRELL_BENCH_DIR");
  const fs::path folder = dir != nullptr ? dir : "/tmp/vantrell-bench";
  fs::create_directories(folder);
  const fs::path path = folder / "sjis-text-1g.bin";
  std::error_code error;
  if (fs::file_size(path, error) != static_cast<std::uintmax_t>(kGiB)) {
    std::string chunk;
    const char* line = "Vantrell \x82\xB1\x82\xEA\x82\xCD\x83\x65\x83\x58\x83\x67 0123456789 \x93\xFA\x96\x7B\x8C\xEA\r\n";
    while (chunk.size() < (1 << 20)) chunk += line;
    chunk.resize(1 << 20);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 1024; ++i) out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  }
  return path.string();
}

void BM_RepaintNearEnd(benchmark::State& state) {
  QuietPrompt prompt;
  CMainFrame frame;
  frame.SetPromptService(&prompt);
  CVantrellDoc* doc = frame.OpenDocumentFile(QString::fromStdString(BigFile()));
  if (doc == nullptr) std::abort();
  CVantrellView* view = frame.ActiveView();
  view->resize(view->PreferredWidth(), 61 * view->LineHeight() + 4);
  view->SetTopLine(doc->Length() / 16 - 70);
  QImage image(view->viewport()->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    view->viewport()->render(&image);
    benchmark::DoNotOptimize(image.bits());
  }
  state.counters["lines"] = view->PageLines();
}
BENCHMARK(BM_RepaintNearEnd)->Unit(benchmark::kMillisecond);

void BM_OpenToFirstPaint(benchmark::State& state) {
  const std::string path = BigFile();
  QuietPrompt prompt;
  double document = 0, window = 0;
  int iterations = 0;
  {  // warm up: page cache and memory
    CMainFrame frame;
    frame.SetPromptService(&prompt);
    frame.OpenDocumentFile(QString::fromStdString(path));
  }
  for (auto _ : state) {
    class Host : public DocumentHost {
     public:
      explicit Host(PromptService& p) : prompt(p) {}
      PromptService& Prompt() override { return prompt; }
      ProgramClipboard& Clipboard() override { return clipboard; }
      int NextUntitledNumber() override { return 1; }
      PromptService& prompt;
      ProgramClipboard clipboard;
    } host(prompt);
    auto t0 = Clock::now();
    {
      CVantrellDoc doc(host, {}, {});
      if (!doc.OnOpenDocument(path)) std::abort();
    }
    auto t1 = Clock::now();
    {
      CMainFrame frame;
      frame.SetPromptService(&prompt);
      frame.resize(1200, 900);
      frame.show();
      auto t2 = Clock::now();
      if (frame.OpenDocumentFile(QString::fromStdString(path)) == nullptr) std::abort();
      QImage image = frame.grab().toImage();  // the first painted screen
      benchmark::DoNotOptimize(image.bits());
      auto t3 = Clock::now();
      window += std::chrono::duration<double>(t3 - t2).count();
      state.SetIterationTime(std::chrono::duration<double>(t3 - t2).count());
    }
    document += std::chrono::duration<double>(t1 - t0).count();
    ++iterations;
  }
  state.counters["document_s"] = document / iterations;
  state.counters["window_s"] = window / iterations;
  state.counters["ratio"] = window / document;
}
BENCHMARK(BM_OpenToFirstPaint)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Typing in insert mode at the middle of a 1 GiB document: each key is the
// edit, the update of the views and the repaint of what changed.
void BM_TypeAtMiddleThenUndo(benchmark::State& state) {
  QuietPrompt prompt;
  CMainFrame frame;
  frame.SetPromptService(&prompt);
  frame.resize(1000, 700);
  frame.show();
  CVantrellDoc* doc = frame.OpenDocumentFile(QString::fromStdString(BigFile()));
  if (doc == nullptr) std::abort();
  CVantrellView* view = frame.ActiveView();
  doc->SetInsertMode(true);
  view->SetCaret(doc->Length() / 2, true);
  view->EnsureCaretVisible(2);
  QApplication::processEvents();
  constexpr int kKeys = 10000;
  double typing = 0, undoing = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    for (int i = 0; i < kKeys; ++i) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
      QApplication::sendEvent(view, &key);
      QApplication::processEvents();  // paints what the key changed
    }
    const auto t1 = Clock::now();
    for (int i = 0; i < kKeys; ++i) doc->Undo();
    QApplication::processEvents();
    const auto t2 = Clock::now();
    typing = std::chrono::duration<double>(t1 - t0).count();
    undoing = std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(typing);
  }
  state.counters["per_key_ms"] = typing / kKeys * 1000;
  state.counters["undo_all_s"] = undoing;
}
BENCHMARK(BM_TypeAtMiddleThenUndo)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrell

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
