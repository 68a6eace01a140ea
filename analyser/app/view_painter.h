#pragma once

// Paints the waveform view and the spectrum view as the window shows them.

class QPainter;
class QFont;

namespace tonewarden {

class CWaveRing;
class FftViewState;

class ViewPainter {
 public:
  static void PaintWaveform(QPainter& painter, const QFont& font, const CWaveRing& ring, int width, int height, int n,
                            int position);
  static void PaintSpectrum(QPainter& painter, const QFont& font, const FftViewState& state);
};

}  // namespace tonewarden
