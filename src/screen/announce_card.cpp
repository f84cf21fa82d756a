#include "screen/announce_card.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <vector>

#include "screen/screen_fonts.h"

namespace lyricade {
namespace {

constexpr int kColumnLeft = 50;
constexpr int kColumnRight = 590;
constexpr int kColumnBottom = 470;
constexpr int kColumnWidth = kColumnRight - kColumnLeft;
constexpr std::array<int, kCardLines> kCells{80, 40, 35, 25};

const QFont& LineFont(int line) {
  // Made once, on the UI thread that draws the card.
  static const std::array<QFont, kCardLines> fonts{CellFont(kCells[0], 700), CellFont(kCells[1], 700),
                                                   CellFont(kCells[2], 700), CellFont(kCells[3], 700)};
  return fonts[static_cast<size_t>(line)];
}

QString LineText(const AnnounceCardText& text, int line) {
  switch (static_cast<CardLine>(line)) {
    case CardLine::Singer: return QString::fromStdString(text.Singer);
    case CardLine::Performing: return QString::fromLatin1(kPerformingText);
    case CardLine::Title: return QString::fromStdString(text.Title);
    default: return QString::fromStdString(text.Artist);
  }
}

// The line broken between words to the column's width (a word longer than
// the column stays whole and is clipped), one row per cell.
struct WrappedLine {
  QString Text;
  std::vector<std::pair<int, int>> Rows;  // start and length in Text
};

WrappedLine Wrap(const QString& text, const QFont& font, bool wrap) {
  WrappedLine wrapped{text, {}};
  if (!wrap || text.isEmpty()) {
    wrapped.Rows.emplace_back(0, static_cast<int>(text.size()));
    return wrapped;
  }
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
    row.setLineWidth(kColumnWidth);
    wrapped.Rows.emplace_back(row.textStart(), row.textLength());
  }
  layout.endLayout();
  if (wrapped.Rows.empty()) wrapped.Rows.emplace_back(0, 0);
  return wrapped;
}

bool Wraps(int line) { return static_cast<CardLine>(line) != CardLine::Performing; }

QColor ColourOf(uint32_t colourRef) {
  return QColor(colourRef & 0xFF, (colourRef >> 8) & 0xFF, (colourRef >> 16) & 0xFF);
}

QRect ImageRect(const AnnounceOptions& options) {
  int top = 25, bottom = 115;
  if (options.ImageLocation == 1) {
    top = 370;
    bottom = 460;
  } else if (options.ImageLocation == 2) {
    top = 0;
    bottom = kCardHeight;
  }
  int left = 172, right = 469;
  if (options.ImageLocation == 2) {
    left = 0;
    right = kCardWidth;
  } else if (options.ImagePlace == 1) {
    left = 25;
    right = 308;
  } else if (options.ImagePlace == 2) {
    left = 333;
    right = 615;
  }
  return QRect(left, top, right - left, bottom - top);
}

}  // namespace

AnnounceCardLayout LayOutAnnounceCard(const AnnounceCardText& text, const AnnounceOptions& options) {
  AnnounceCardLayout layout;
  layout.Image = ImageRect(options);
  for (int line = 0; line < kCardLines; ++line) {
    const WrappedLine wrapped = Wrap(LineText(text, line), LineFont(line), Wraps(line));
    layout.Height[line] = static_cast<int>(wrapped.Rows.size()) * kCells[line];
  }
  const int h1 = layout.Height[0], h2 = layout.Height[1], h3 = layout.Height[2];
  layout.Top = {200 - h1 / 2, 300 - h2 / 2, 325 + h2 / 2, 350 + h3};
  return layout;
}

QImage DrawAnnounceCard(const AnnounceCardText& text, const AnnounceOptions& options,
                        const QImage& image) {
  QImage card(kCardWidth, kCardHeight, QImage::Format_RGB32);
  card.fill(Qt::black);
  const AnnounceCardLayout layout = LayOutAnnounceCard(text, options);
  QPainter painter(&card);
  if (!image.isNull()) painter.drawImage(layout.Image, image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (int line = 0; line < kCardLines; ++line) {
    if (!options.Shown[line]) continue;
    const QFont& font = LineFont(line);
    const QFontMetricsF metrics(font);
    const WrappedLine wrapped = Wrap(LineText(text, line), font, Wraps(line));
    const int top = layout.Top[line];
    painter.setClipRect(QRect(kColumnLeft, top, kColumnWidth, kColumnBottom - top));
    painter.setFont(font);
    painter.setPen(ColourOf(options.Colour[line]));
    for (size_t row = 0; row < wrapped.Rows.size(); ++row) {
      // Blanks at a break belong to neither row.
      const QString piece =
          wrapped.Text.mid(wrapped.Rows[row].first, wrapped.Rows[row].second).trimmed();
      const double width = metrics.horizontalAdvance(piece);
      double x = kColumnLeft;
      if (options.Alignment[line] == 0) x = kColumnLeft + (kColumnWidth - width) / 2;
      if (options.Alignment[line] == 2) x = kColumnRight - width;
      const double baseline = top + static_cast<double>(row) * kCells[line] + metrics.ascent();
      painter.drawText(QPointF(x, baseline), piece);
    }
  }
  painter.end();
  return card;
}

}  // namespace lyricade
