#include "view_painter.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <vector>

#include "core/fft_view_state.h"
#include "core/wave_ring.h"
#include "core/wave_view_points.h"

namespace tonewarden {

namespace {

const QColor kGrid(0, 95, 0);
const QColor kTrace(255, 255, 0);
const QColor kText(255, 255, 255);

QPolygon ToPolygon(const std::vector<ViewPoint>& points) {
  QPolygon polygon(static_cast<int>(points.size()));
  for (int i = 0; i < polygon.size(); ++i) polygon[i] = QPoint(points[i].x, points[i].y);
  return polygon;
}

// Text whose top edge is at y; centred on x or starting at it.
void DrawText(QPainter& painter, int x, int y, const QString& text, bool centred) {
  const QFontMetrics metrics(painter.font());
  const int width = metrics.horizontalAdvance(text);
  painter.drawText(centred ? x - width / 2 : x, y + metrics.ascent(), text);
}

}  // namespace

void ViewPainter::PaintWaveform(QPainter& painter, const QFont& font, const CWaveRing& ring, int width, int height,
                                int n, int position) {
  painter.fillRect(0, 0, width, height, Qt::black);
  painter.setFont(font);
  painter.setPen(kGrid);
  painter.drawLine(0, height / 2, width, height / 2);
  for (const TimeLabel& label : WaveViewPoints::TimeGrid(width, n, static_cast<int>(ring.format.samplesPerSec))) {
    painter.setPen(kGrid);
    painter.drawLine(label.x, 0, label.x, height);
    painter.setPen(kText);
    DrawText(painter, label.x, 0, QString::fromStdString(label.text), true);
  }
  std::vector<ViewPoint> points;
  WaveViewPoints::Build(ring, width, height, n, points);
  painter.setPen(kTrace);
  painter.drawPolyline(ToPolygon(points));
  painter.setPen(kText);
  DrawText(painter, 0, 0, QString::fromStdString(WaveViewPoints::PositionText(position)), false);
}

void ViewPainter::PaintSpectrum(QPainter& painter, const QFont& font, const FftViewState& state) {
  const SpectrumLayout& layout = state.layout();
  painter.fillRect(0, 0, layout.width(), layout.height(), Qt::black);
  painter.setFont(font);
  painter.setPen(kGrid);
  for (const GridLine& line : layout.grid()) painter.drawLine(line.from.x, line.from.y, line.to.x, line.to.y);
  painter.setPen(kTrace);
  painter.drawPolyline(ToPolygon(state.points()));
  painter.setPen(kText);
  for (const LevelLabel& label : layout.levelLabels()) DrawText(painter, 0, label.y, QString::fromStdString(label.text), false);
  for (const FrequencyLabel& label : layout.frequencyLabels()) {
    DrawText(painter, label.x, 0, QString::fromStdString(label.text), true);
  }
}

}  // namespace tonewarden
