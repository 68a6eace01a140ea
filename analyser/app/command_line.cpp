#include "command_line.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <iostream>

#include "command_options.h"
#include "core/fft_view_state.h"
#include "core/wave_ring.h"
#include "ring_at_position.h"
#include "view_painter.h"

namespace tonewarden {

namespace {

constexpr char kUsage[] =
    "usage: tonewarden render FILE --at SECONDS [--fft N] [--window NAME] [--range DB] [--size WxH] -o OUT.png\n"
    "       tonewarden spectrum FILE --at SECONDS [--fft N] [--window NAME]\n";

int Fail(const std::string& text) {
  std::string line = text;
  for (char& c : line) {
    if (c == '\n') c = ' ';
  }
  // Collapse the blank line of engine messages into one space.
  for (std::size_t at; (at = line.find("  ")) != std::string::npos;) line.erase(at, 1);
  std::cerr << "tonewarden: " << line << "\n";
  return 1;
}

int Spectrum(const CommandOptions& o, const CWaveRing& ring) {
  FftViewState state;
  state.SetSize(640, 480);
  state.SetFftSize(o.fft);
  state.SetWindow(o.window);
  state.SetRate(static_cast<int>(ring.format.samplesPerSec));
  state.Relayout();
  state.UpdateFromRing(ring);
  const double rate = ring.format.samplesPerSec;
  const double fullScale = 20 * std::log10(32768.0);
  std::string out;
  char line[64];
  for (int k = 1; k < o.fft / 2; ++k) {
    const float p = state.power()[k];
    const double level = p > 0 ? 10 * std::log10(p) - fullScale : -INFINITY;
    std::snprintf(line, sizeof line, "%.3f\t%.2f\n", k * rate / o.fft, level);
    out += line;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

int Render(const CommandOptions& o, const CWaveRing& ring, int tick) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "tonewarden";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  QFont font = QGuiApplication::font();
  font.setPixelSize(12);
  const int textHeight = QFontMetrics(font).height();

  // The waveform pane at its default height above the spectrum pane.
  const int waveHeight = o.height >= 200 ? 100 : o.height / 3;
  const int fftHeight = o.height - waveHeight;
  QImage image(o.width, o.height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  ViewPainter::PaintWaveform(painter, font, ring, o.width, waveHeight, o.fft, tick);

  FftViewState state;
  state.SetSize(o.width, fftHeight);
  state.SetTextHeight(textHeight);
  state.SetFftSize(o.fft);
  state.SetWindow(o.window);
  state.SetRange(o.range);
  state.SetRate(static_cast<int>(ring.format.samplesPerSec));
  state.Relayout();
  state.UpdateFromRing(ring);
  painter.save();
  painter.translate(0, waveHeight);
  painter.setClipRect(0, 0, o.width, fftHeight);
  ViewPainter::PaintSpectrum(painter, font, state);
  painter.restore();
  painter.end();
  if (!image.save(QString::fromStdString(o.output), "PNG")) return Fail(o.output + ": cannot write the picture");
  return 0;
}

}  // namespace

int CommandLine::Run(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  CommandOptions options;
  if (const std::string error = CommandOptions::Parse(args, options); !error.empty()) return Fail(error);
  CWaveRing ring;
  int tick = 0;
  if (const std::string error = RingAtPosition::Fill(options.file, options.at, ring, tick); !error.empty()) {
    return Fail(options.file + ": " + error);
  }
  return options.command == "render" ? Render(options, ring, tick) : Spectrum(options, ring);
}

}  // namespace tonewarden
