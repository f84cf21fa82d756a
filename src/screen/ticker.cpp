#include "screen/ticker.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "screen/screen_fonts.h"

namespace lyricade {
namespace {

constexpr int kScreenWidth = SceneCanvas::kWidth;
constexpr int kScreenHeight = SceneCanvas::kHeight;
constexpr int kTickerWeight = 500;

int TickerCell(bool smaller) { return smaller ? 54 : 70; }
int TickerCharWidth(bool smaller) { return smaller ? 28 : 38; }

// A single line vertically centred in a box `height` high: the baseline, so
// that the cell's top lies at (height - cell) / 2 as a centred line's does.
double CentredBaseline(const QFont& font, int height) {
  const QFontMetricsF metrics(font);
  const double cell = metrics.ascent() + metrics.descent();
  return std::floor((height - cell) / 2) + metrics.ascent();
}

}  // namespace

QRectF TickerBand(TickerPlace place) {
  if (place.Top) return QRectF(0, 0, kScreenWidth, place.Smaller ? 118.8 : 146.232);
  const double top = place.Smaller ? 961.2 : 933.768;
  return QRectF(0, top, kScreenWidth, kScreenHeight - top);
}

QRectF TickerTextRect(TickerPlace place) {
  if (place.Top) return QRectF(0, 0, kScreenWidth, place.Smaller ? 108 : 135);
  const double top = place.Smaller ? 972 : 945;
  return QRectF(0, top, kScreenWidth, kScreenHeight - top);
}

void TickerPainter::SetText(const QString& text) {
  text_ = text;
  width_ = -1;
  tiles_.clear();
}

void TickerPainter::SetSmaller(bool smaller) {
  if (fontMade_ && smaller == smaller_) return;
  smaller_ = smaller;
  font_ = CellFont(TickerCell(smaller), kTickerWeight, TickerCharWidth(smaller));
  fontMade_ = true;
  width_ = -1;
  tiles_.clear();
}

int TickerPainter::TextWidth() {
  if (!fontMade_) SetSmaller(smaller_);
  if (width_ < 0)
    width_ = static_cast<int>(std::ceil(QFontMetricsF(font_).horizontalAdvance(text_)));
  return width_;
}

const QImage& TickerPainter::Tile(int index, int height) {
  if (height != tileHeight_) {
    tiles_.clear();
    tileHeight_ = height;
  }
  auto found = tiles_.find(index);
  if (found != tiles_.end()) return found->second;
  QImage tile(kTileWidth, height, QImage::Format_ARGB32_Premultiplied);
  tile.fill(Qt::transparent);
  QPainter painter(&tile);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(font_);
  painter.setPen(Qt::white);
  // The whole line, shifted so this tile's part falls on the picture; the
  // rest is clipped away by the picture's edges.
  painter.drawText(QPointF(-static_cast<double>(index) * kTileWidth, CentredBaseline(font_, height)),
                   text_);
  painter.end();
  return tiles_.emplace(index, std::move(tile)).first->second;
}

void TickerPainter::Draw(SceneCanvas& canvas, TickerPlace place, int left, int alpha) {
  const float opacity = std::clamp(alpha, 0, 255) / 255.f;
  canvas.DrawTexture(SceneTexture::Black, TickerBand(place), opacity);
  const int width = TextWidth();
  if (width <= 0) return;
  const QRectF box = TickerTextRect(place);
  const int height = static_cast<int>(box.height());
  const int tiles = (width + kTileWidth - 1) / kTileWidth;
  // Only the tiles that meet the screen are made and drawn; those already
  // past the left edge are done with until the line comes round again.
  for (auto it = tiles_.begin(); it != tiles_.end();) {
    if (left + (it->first + 1) * kTileWidth <= 0)
      it = tiles_.erase(it);
    else
      ++it;
  }
  const int first = std::max(0, -left / kTileWidth);
  for (int index = first; index < tiles; ++index) {
    const int x = left + index * kTileWidth;
    if (x >= kScreenWidth) break;
    if (x + kTileWidth <= 0) continue;
    canvas.DrawImage(Tile(index, height), QRectF(x, box.top(), kTileWidth, height), opacity);
  }
}

QString CountdownPainter::Text(int seconds) { return QString("Starts in: %1 secs").arg(seconds); }

void CountdownPainter::Draw(SceneCanvas& canvas, int seconds, QColor colour) {
  if (!fontMade_) {
    font_ = CellFont(43, kTickerWeight, 28);
    fontMade_ = true;
  }
  const QString text = Text(seconds);
  if (text != text_ || colour != colour_ || picture_.isNull()) {
    text_ = text;
    colour_ = colour;
    const QFontMetricsF metrics(font_);
    const int width = static_cast<int>(std::ceil(metrics.horizontalAdvance(text))) + 2;
    const int height = static_cast<int>(std::ceil(metrics.ascent() + metrics.descent()));
    picture_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    picture_.fill(Qt::transparent);
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font_);
    painter.setPen(colour);
    painter.drawText(QPointF(1, metrics.ascent()), text);
  }
  // Centred on x = 960 and on the band y 22..56, spilling over it.
  constexpr int kBandTop = 22;
  constexpr int kBandHeight = 56 - 22;
  const int top = kBandTop + (kBandHeight - picture_.height()) / 2;
  canvas.DrawImage(picture_,
                   QRectF(960 - picture_.width() / 2, top, picture_.width(), picture_.height()),
                   1.f);
}

}  // namespace lyricade
