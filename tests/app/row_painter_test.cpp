// Row painting: omission of wide rows, return marks, rule lines, painted into
// an image and inspected pixel by pixel.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app/line_view.h"
#include "app/qt_text.h"
#include "app/row_painter.h"
#include "text/literal.h"

namespace parvane {
namespace {

QFont TestFont() {
  QFont f(ResolveViewFamily(QStringLiteral("FixedSys")));
  f.setPixelSize(16);
  return f;
}

// Paints one row of the given size on white and returns the image.
QImage PaintRow(const RowPainter& painter, std::string_view sjis, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  painter.Paint(p, QRect(0, 0, width, height), sjis, Qt::black, QColor(255, 0, 0));
  return image;
}

int CountColour(const QImage& image, QRgb colour, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixel(x, y) == colour) ++n;
    }
  }
  return n;
}

int CountReddish(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (qRed(c) > 200 && qGreen(c) < 160 && qBlue(c) < 160) ++n;
    }
  }
  return n;
}

bool HasDark(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 100) return true;
    }
  }
  return false;
}

}  // namespace

class RowPainterTest : public QObject {
  Q_OBJECT

 private slots:
  void TableRulesReachTheTopAndBottomPixelRows() {
    RowPainter painter(TestFont());
    painter.set_return_mark(ReturnMark::kNone);
    painter.set_rule_line(RuleLine::kNone);
    // Rows are much taller than the glyph's ink, as with a face whose line
    // height is well above its em box.
    const int height = QFontMetrics(TestFont()).height() + 10;
    const QImage image = PaintRow(painter, Sjis("┃a┃"), 120, height);
    auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    int column = -1;
    for (int x = 0; x < 30 && column < 0; ++x) {
      if (dark(x, height / 2)) column = x;
    }
    QVERIFY(column >= 0);
    QVERIFY(dark(column, 0));
    QVERIFY(dark(column, height - 1));
    // Ordinary text in the same row keeps its place and size: "a" stays
    // clear of the top and bottom pixel rows.
    const int a_left = 4 + QFontMetrics(TestFont()).horizontalAdvance(QString::fromUtf8("┃"));
    const int a_width = QFontMetrics(TestFont()).horizontalAdvance(QLatin1Char('a'));
    QCOMPARE(CountColour(image, qRgb(0, 0, 0), QRect(a_left, 0, a_width, 1)), 0);
    QCOMPARE(CountColour(image, qRgb(0, 0, 0), QRect(a_left, height - 1, a_width, 1)), 0);
  }

  void MarkColourIsTheIntegerHalfOfTheSums() {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 120, 215));
    QCOMPARE(MarkColour(palette), QColor(127, 187, 235));
  }

  void ShortRowsAreShownWhole() {
    RowPainter painter(TestFont());
    QCOMPARE(painter.DisplayText(Sjis("あいうabc")), QString::fromUtf8("あいうabc"));
  }

  void WideRowsAreCutInProportionAndMarked() {
    RowPainter painter(TestFont());
    const std::string line(4000, 'x');
    const int width = painter.metrics().horizontalAdvance(QString(4000, QLatin1Char('x')));
    QVERIFY(width > kOmitSize);
    const int keep = static_cast<int>(static_cast<long long>(kOmitSize) * 4000 / width);
    QCOMPARE(painter.DisplayText(line), QString(keep, QLatin1Char('x')) + OmitString());
  }

  void TheCutNeverSplitsATwoByteCharacter() {
    RowPainter painter(TestFont());
    std::string line;
    for (int i = 0; i < 2000; ++i) line += Sjis("あ");
    const QString shown = painter.DisplayText(line);
    QVERIFY(shown.endsWith(OmitString()));
    const QString kept = shown.left(shown.size() - OmitString().size());
    QVERIFY(!kept.contains(QLatin1Char('?')));
    QCOMPARE(kept, QString(kept.size(), QChar(0x3042)));
  }

  void EmptyRowWithMarkAShowsTheMarkAtTheLeftMargin() {
    RowPainter painter(TestFont());
    painter.set_rule_line(RuleLine::kNone);
    painter.set_return_mark(ReturnMark::kA);
    const QImage image = PaintRow(painter, "", 200, 20);
    // The arrow's box starts at x = 4 and is half the row height wide.
    QVERIFY(CountReddish(image, QRect(0, 0, 20, 20)) > 0);
    QCOMPARE(CountReddish(image, QRect(20, 0, 180, 20)), 0);
  }

  void MarkBIsDrawnAfterTheText() {
    RowPainter painter(TestFont());
    painter.set_rule_line(RuleLine::kNone);
    painter.set_return_mark(ReturnMark::kB);
    const QImage image = PaintRow(painter, "abc", 200, 32);
    const int x = 4 + painter.metrics().horizontalAdvance(QStringLiteral("abc"));
    QCOMPARE(CountColour(image, qRgb(255, 0, 0), QRect(0, 0, x, 32)), 0);
    QVERIFY(CountColour(image, qRgb(255, 0, 0), QRect(x, 0, 32, 32)) > 50);
  }

  void SolidRuleIsOnTheBottomPixelRow() {
    RowPainter painter(TestFont());
    painter.set_return_mark(ReturnMark::kNone);
    painter.set_rule_line(RuleLine::kSolid);
    const QImage image = PaintRow(painter, "", 100, 20);
    QCOMPARE(CountColour(image, qRgb(255, 0, 0), QRect(0, 19, 100, 1)), 100);
    QCOMPARE(CountColour(image, qRgb(255, 0, 0), QRect(0, 0, 100, 19)), 0);
  }

  void DottedRuleLeavesGaps() {
    RowPainter painter(TestFont());
    painter.set_return_mark(ReturnMark::kNone);
    painter.set_rule_line(RuleLine::kDotted);
    const QImage image = PaintRow(painter, "", 100, 20);
    const int n = CountColour(image, qRgb(255, 0, 0), QRect(0, 19, 100, 1));
    QVERIFY2(n >= 40 && n <= 60, qPrintable(QString::number(n)));
  }

  void WithoutDecorationsOnlyTheTextIsDrawn() {
    RowPainter painter(TestFont());
    painter.set_return_mark(ReturnMark::kNone);
    painter.set_rule_line(RuleLine::kNone);
    const QImage image = PaintRow(painter, Sjis("日本語"), 200, 20);
    QCOMPARE(CountColour(image, qRgb(255, 0, 0), image.rect()), 0);
    // The text starts at x = 4: nothing left of it.
    QVERIFY(!HasDark(image, QRect(0, 0, 4, 20)));
    QVERIFY(HasDark(image, QRect(4, 0, 60, 20)));
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::RowPainterTest)
#include "row_painter_test.moc"
