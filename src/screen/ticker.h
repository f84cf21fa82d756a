#pragma once
// Drawing the ticker and the start countdown on the render thread, in
// back-buffer pixels (1920 x 1080).
//
// The ticker's band sits at the bottom (or the top with "Top Scroll"), its
// text scrolls in a rectangle from x = 1920 - position to the right edge.
// The font is 70 pixels high with characters 38 wide (54 x 28 "Smaller")
// and is made only here, on the render thread, again when "Smaller"
// changes. A line of fifteen long names is wider than any texture may be,
// so the text is drawn in tiles 2048 pixels wide, made when they first come
// into view and dropped once they have scrolled off the left.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>

#include <map>

#include "screen/screen_messages.h"

namespace lyricade {

struct TickerPlace {
  bool Smaller = false;
  bool Top = false;
};

// The band under the text and the text's rectangle.
QRectF TickerBand(TickerPlace place);
QRectF TickerTextRect(TickerPlace place);

class TickerPainter {
public:
  static constexpr int kTileWidth = 2048;

  // A new line to scroll: its width is measured again and its tiles go.
  void SetText(const QString& text);
  // Makes the font for the size asked when it is not that size already.
  void SetSmaller(bool smaller);
  // The line's width in pixels with the current font.
  int TextWidth();
  // The band with `alpha` 0..255, then the line from x = `left`.
  void Draw(SceneCanvas& canvas, TickerPlace place, int left, int alpha);

  // Tiles held now (for checks that they stay few).
  size_t TilesHeld() const { return tiles_.size(); }

private:
  const QImage& Tile(int index, int height);

  QString text_;
  QFont font_;
  bool fontMade_ = false;
  bool smaller_ = false;
  int width_ = -1;
  int tileHeight_ = 0;
  std::map<int, QImage> tiles_;
};

// "Starts in: %d secs", 43 x 28, centred on x = 960 in the band y 22 to 56,
// not clipped. The picture is made again only when its text or colour
// changes.
class CountdownPainter {
public:
  static QString Text(int seconds);
  void Draw(SceneCanvas& canvas, int seconds, QColor colour);

private:
  QFont font_;
  bool fontMade_ = false;
  QString text_;
  QColor colour_;
  QImage picture_;
};

}  // namespace lyricade
