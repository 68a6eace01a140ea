#include <QImage>

#include <gtest/gtest.h>

#include "document/vantrell_doc.h"
#include "test_document_host.h"
#include "view/vantrell_view.h"

namespace vantrell {
namespace {

using testing::TestDocumentHost;

// Paints a view offscreen and answers which cells carry ink.
class RenderedView {
 public:
  RenderedView(const Bytes& bytes, CharacterSet set) : doc_(host_, {}, {}) {
    doc_.OnNewDocument();
    if (!bytes.empty()) doc_.EditInsertBytes(0, bytes.data(), static_cast<DocPos>(bytes.size()));
    doc_.SetCharacterSet(set);
    ViewOptions options;
    options.showSubCaret = false;  // only the glyphs leave ink
    view_ = std::make_unique<CVantrellView>(doc_, options, host_.prompt);
    view_->resize(view_->PreferredWidth() + 40, 10 * view_->LineHeight());
    image_ = view_->viewport()->grab().toImage();
  }

  // Any pixel of the cell darker than the white data background.
  bool Inked(int cell, int row) const {
    const int cw = view_->CellWidth();
    const int ch = view_->LineHeight();
    for (int y = row * ch; y < (row + 1) * ch; ++y)
      for (int x = cell * cw; x < (cell + 1) * cw; ++x)
        if (qGray(image_.pixel(x, y)) < 160) return true;
    return false;
  }
  std::string InkPattern(int firstCell, int cells, int row) const {
    std::string pattern;
    for (int c = firstCell; c < firstCell + cells; ++c) pattern += Inked(c, row) ? '#' : '.';
    return pattern;
  }
  const CVantrellView& View() const { return *view_; }
  const QImage& Image() const { return image_; }

 private:
  TestDocumentHost host_;
  CVantrellDoc doc_;
  std::unique_ptr<CVantrellView> view_;
  QImage image_;
};

TEST(ViewRendering, GlyphsSitOnTheirCells) {
  struct Case {
    const char* name;
    CharacterSet set;
    Bytes line;               // 16 bytes of the first data line
    std::string characters;   // ink of the 16 character cells
  };
  const Case cases[] = {
      {"ascii", CharacterSet::Ascii,
       {'A', ' ', ' ', ' ', 'W', ' ', ' ', ' ', '#', '#', ' ', ' ', ' ', ' ', ' ', 'M'},
       "#...#...##.....#"},
      {"shift-jis wide glyphs cover two cells", CharacterSet::ShiftJis,
       {'A', ' ', 0x88, 0x9F, ' ', ' ', 0x8A, 0xBF, ' ', 0xB1, ' ', ' ', ' ', ' ', ' ', 'Z'},
       "#.##..##.#.....#"},
      {"euc", CharacterSet::Euc,
       {'A', ' ', 0xB0, 0xA1, ' ', ' ', 0x8E, 0xB1, ' ', ' ', ' ', ' ', ' ', ' ', ' ', 'Z'},
       "#.##..#........#"},
      {"unicode", CharacterSet::Unicode,
       {'A', 0, ' ', 0, 0x9C, 0x4E, ' ', 0, 'B', 0, ' ', 0, ' ', 0, 'Z', 0},
       "#...##..#.....#."},
  };
  for (const Case& c : cases) {
    RenderedView rendered(c.line, c.set);
    const int charPane = rendered.View().Geometry().CharCell(0);
    EXPECT_EQ(rendered.InkPattern(charPane, 16, 1), c.characters) << c.name;
    // The hexadecimal pane: two inked digit cells and one clear cell per byte.
    std::string hex;
    for (int j = 0; j < 16; ++j) hex += "##.";
    EXPECT_EQ(rendered.InkPattern(11, 48, 1), hex) << c.name;
  }
}

TEST(ViewRendering, DefaultColoursAndHeader) {
  RenderedView rendered({0x41}, CharacterSet::ShiftJis);
  const QImage& image = rendered.Image();
  const int cw = rendered.View().CellWidth();
  const int ch = rendered.View().LineHeight();
  // Header: black on yellow (0x00FFFF as 0x00BBGGRR); address: white on grey.
  EXPECT_EQ(QColor(image.pixel(0, 1)), QColor(255, 255, 0));
  EXPECT_EQ(QColor(image.pixel(0, ch + 1)), QColor(128, 128, 128));
  // The data background is white; the line after the end line is blank.
  EXPECT_EQ(QColor(image.pixel(11 * cw + 1, 3 * ch + 1)), QColor(255, 255, 255));
  EXPECT_FALSE(rendered.Inked(11, 2));
  EXPECT_TRUE(rendered.Inked(1, 1));  // " 00000000  "
  EXPECT_FALSE(rendered.Inked(1, 2));
}

TEST(ViewRendering, SelectionInvertsBothPanes) {
  TestDocumentHost host;
  CVantrellDoc doc(host, {}, {});
  doc.OnNewDocument();
  const Bytes bytes(40, ' ');
  doc.EditInsertBytes(0, bytes.data(), 40);
  ViewOptions options;
  options.showSubCaret = false;
  CVantrellView view(doc, options, host.prompt);
  view.resize(view.PreferredWidth() + 40, 8 * view.LineHeight());
  view.SetSelection(15, 16);  // the last byte of line 0 and the first of line 1
  const QImage image = view.viewport()->grab().toImage();
  const int cw = view.CellWidth();
  const int ch = view.LineHeight();
  auto inverted = [&](int cell, int row) {
    return qGray(image.pixel(cell * cw + cw / 2, row * ch + ch / 2)) < 100;
  };
  const LineGeometry& g = view.Geometry();
  EXPECT_TRUE(inverted(g.HexCell(15), 1));
  EXPECT_TRUE(inverted(g.HexCell(15) + 1, 1));
  EXPECT_FALSE(inverted(g.HexCell(15) + 2, 1));  // the space after the last byte
  EXPECT_FALSE(inverted(g.HexCell(14), 1));
  EXPECT_TRUE(inverted(g.HexCell(0), 2));
  EXPECT_FALSE(inverted(g.HexCell(1), 2));
  EXPECT_TRUE(inverted(g.CharCell(15), 1));
  EXPECT_TRUE(inverted(g.CharCell(0), 2));
  EXPECT_FALSE(inverted(g.CharCell(1), 2));
}

}  // namespace
}  // namespace vantrell
