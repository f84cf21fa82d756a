#include "screen/lyric_screen.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstring>

#include "screen/preview_surface.h"
#include "screen/scene_buffers.h"
#include "screen/screen_fonts.h"

namespace lyricade {
namespace {

QColor ColourOf(uint32_t colourRef) {
  return QColor(colourRef & 0xFF, (colourRef >> 8) & 0xFF, (colourRef >> 16) & 0xFF);
}

// Syllables already sung on the page's lines at `positionMs`.
size_t SungOnPage(const TimedLyrics& lyrics, LyricPage page, int64_t positionMs) {
  size_t sung = 0;
  for (size_t line = page.First; line < page.End; ++line)
    for (const LyricSyllable& syllable : lyrics.Lines[line].Syllables)
      if (syllable.StartMs <= positionMs) ++sung;
  return sung;
}

// One line's text as a path, from its left end at `left`, baseline `baseline`.
QPainterPath TextPath(const QFont& font, qreal left, qreal baseline, const QString& text) {
  QPainterPath path;
  path.addText(left, baseline, font, text);
  return path;
}

void DrawOutlined(QPainter& painter, const QPainterPath& path, const QColor& fill) {
  painter.strokePath(path, QPen(QColor(0, 0, 0), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.fillPath(path, fill);
}

PixelImage ToPixels(const QImage& picture) {
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  PixelImage pixels(argb.width(), argb.height());
  for (int y = 0; y < argb.height(); ++y)
    std::memcpy(pixels.Row(y), argb.constScanLine(y), pixels.Pitch());
  return pixels;
}

}  // namespace

QImage DrawLyricPage(const TimedLyrics& lyrics, int64_t positionMs, const AnnounceOptions& look) {
  QImage picture(kLyricFrameWidth, kLyricFrameHeight, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  const LyricPage page = PageAt(lyrics, positionMs, kLyricLinesPerPage);
  if (page.End <= page.First) return picture;
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor unsung = ColourOf(look.Colour[static_cast<int>(CardLine::Title)]);
  const QColor sung = ColourOf(look.Colour[static_cast<int>(CardLine::Performing)]);
  const int rowHeight = kLyricFrameHeight / static_cast<int>(kLyricLinesPerPage + 1);
  const int margin = kLyricFrameWidth / 20;
  for (size_t index = page.First; index < page.End; ++index) {
    const LyricLine& line = lyrics.Lines[index];
    const QString text = QString::fromStdString(line.Text()).trimmed();
    QString sungText;
    for (const LyricSyllable& syllable : line.Syllables)
      if (syllable.StartMs <= positionMs) sungText += QString::fromStdString(syllable.Text);
    // A long line gets a smaller face rather than running off the screen.
    QFont font = CellFont(rowHeight * 7 / 10, 700);
    const int room = kLyricFrameWidth - 2 * margin;
    const int width = QFontMetrics(font).horizontalAdvance(text);
    if (width > room) font = CellFont(std::max(12, rowHeight * 7 / 10 * room / width), 700);
    const QFontMetrics metrics(font);
    const qreal left = (kLyricFrameWidth - metrics.horizontalAdvance(text)) / 2.0;
    const qreal baseline = rowHeight * (static_cast<int>(index - page.First) + 1) +
                           (metrics.ascent() - metrics.descent()) / 2.0;
    DrawOutlined(painter, TextPath(font, left, baseline, text), unsung);
    // The whole text lost its leading blanks: so does the sung part, which
    // then starts where the text does.
    QString sungPart = sungText;
    while (!sungPart.isEmpty() && sungPart.front().isSpace()) sungPart.remove(0, 1);
    if (!sungPart.isEmpty()) DrawOutlined(painter, TextPath(font, left, baseline, sungPart), sung);
  }
  return picture;
}

void LyricScreen::OpenLyrics(const TimedLyrics& lyrics) {
  lyrics_ = lyrics;
  open_ = true;
  shownPage_ = SIZE_MAX;
  shownSung_ = SIZE_MAX;
  buffers_.Create(SceneTexture::SongCdg, kLyricFrameWidth, kLyricFrameHeight);
  LyricsAt(0);
}

void LyricScreen::LyricsAt(int64_t positionMs) {
  if (!open_) return;
  const LyricPage page = PageAt(lyrics_, positionMs, kLyricLinesPerPage);
  const size_t sung = SungOnPage(lyrics_, page, positionMs);
  if (page.First == shownPage_ && sung == shownSung_) return;
  shownPage_ = page.First;
  shownSung_ = sung;
  const QImage picture = DrawLyricPage(lyrics_, positionMs, look_);
  buffers_.Put(SceneTexture::SongCdg, ToPixels(picture));
  preview_.CopyPicture(picture);
}

void LyricScreen::CloseLyrics() {
  if (!open_) return;
  open_ = false;
  lyrics_ = {};
  buffers_.Release(SceneTexture::SongCdg);
  preview_.RestoreIdle();
}

}  // namespace lyricade
