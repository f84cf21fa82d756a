// Draws the default pictures a new data folder is seeded with:
//   background.dds  640x480, the screen's default background: the title on
//                   a plate with a transparent surround, so an enabled
//                   background video shows around it between songs
//   blank.dds       640x480, the "blank" background: fully transparent, so
//                   the background video (or black) shows
//   black.dds       64x64 opaque black, drawn under the ticker
//   Background.bmp  640x480, the preview's idle picture
//   Back2.bmp       600x180, the default announce image
// Usage: lyricade-make-pictures OUTPUT_FOLDER (run with QT_QPA_PLATFORM=offscreen).

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <cstring>
#include <string>

#include "screen/picture_file.h"

namespace {

lyricade::PixelImage ToPixels(const QImage& picture) {
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  lyricade::PixelImage pixels(argb.width(), argb.height());
  for (int y = 0; y < argb.height(); ++y)
    std::memcpy(pixels.Row(y), argb.constScanLine(y), pixels.Pitch());
  return pixels;
}

void DrawNote(QPainter& painter, QPointF at, qreal size, const QColor& colour) {
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.translate(at);
  painter.rotate(-20);
  painter.drawEllipse(QPointF(0, 0), size * 0.6, size * 0.42);
  painter.restore();
  painter.fillRect(QRectF(at.x() + size * 0.48, at.y() - size * 2.4, size * 0.16, size * 2.4),
                   colour);
  QPainterPath flag;
  flag.moveTo(at.x() + size * 0.64, at.y() - size * 2.4);
  flag.cubicTo(at.x() + size * 1.4, at.y() - size * 1.9, at.x() + size * 1.2,
               at.y() - size * 1.3, at.x() + size * 1.3, at.y() - size * 1.0);
  flag.cubicTo(at.x() + size * 0.9, at.y() - size * 1.5, at.x() + size * 0.8,
               at.y() - size * 1.8, at.x() + size * 0.64, at.y() - size * 1.9);
  painter.fillPath(flag, colour);
}

void DrawTitle(QPainter& painter, const QRectF& box, int pixelSize, const QString& text) {
  QFont font("Liberation Sans");
  font.setBold(true);
  font.setPixelSize(pixelSize);
  painter.setFont(font);
  painter.setPen(QColor(0, 0, 0, 140));
  painter.drawText(box.translated(pixelSize / 16.0, pixelSize / 16.0), Qt::AlignCenter, text);
  painter.setPen(QColor(255, 236, 160));
  painter.drawText(box, Qt::AlignCenter, text);
}

// `opaque` fills the whole picture with the stage's sky (the preview's idle
// picture, a BMP without alpha); otherwise only a plate behind the title is
// filled and the rest stays transparent.
QImage StageBackground(int width, int height, const QString& subtitle, bool opaque) {
  QImage picture(width, height, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0.0, QColor(18, 10, 60));
  sky.setColorAt(0.6, QColor(70, 20, 110));
  sky.setColorAt(1.0, QColor(150, 40, 110));
  QPainterPath plate;
  plate.addRoundedRect(QRectF(width * 0.12, height * 0.26, width * 0.76, height * 0.34),
                       height * 0.04, height * 0.04);
  if (opaque) {
    painter.fillRect(picture.rect(), sky);
  } else {
    painter.setClipPath(plate);
    painter.setOpacity(0.85);
    painter.fillRect(picture.rect(), sky);
    painter.setOpacity(1.0);
  }
  // Stage lights.
  const QPointF lights[] = {{width * 0.2, height * 0.15}, {width * 0.5, height * 0.05},
                            {width * 0.8, height * 0.15}};
  for (const QPointF& light : lights) {
    QRadialGradient glow(light, width * 0.35);
    glow.setColorAt(0.0, QColor(255, 220, 150, 90));
    glow.setColorAt(1.0, QColor(255, 220, 150, 0));
    painter.fillRect(picture.rect(), glow);
  }
  painter.setClipping(false);
  DrawNote(painter, {width * 0.14, height * 0.78}, width * 0.035, QColor(255, 255, 255, 110));
  DrawNote(painter, {width * 0.82, height * 0.72}, width * 0.03, QColor(255, 255, 255, 90));
  DrawNote(painter, {width * 0.70, height * 0.88}, width * 0.022, QColor(255, 255, 255, 70));
  DrawTitle(painter, QRectF(0, height * 0.30, width, height * 0.25), height / 7, "Lyricade");
  if (!subtitle.isEmpty()) {
    QFont font("Liberation Sans");
    font.setPixelSize(height / 20);
    painter.setFont(font);
    painter.setPen(QColor(230, 230, 255));
    painter.drawText(QRectF(0, height * 0.55, width, height * 0.1), Qt::AlignCenter, subtitle);
  }
  return picture;
}

bool Save(const std::string& folder, const char* name, const QImage& picture, bool dds) {
  const std::string path = folder + name;
  const bool saved = dds ? lyricade::WriteDdsFile(path, ToPixels(picture))
                         : lyricade::WritePictureFile(path, ToPixels(picture));
  if (!saved) std::fprintf(stderr, "lyricade-make-pictures: cannot write %s\n", path.c_str());
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lyricade-make-pictures OUTPUT_FOLDER\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  std::string folder = argv[1];
  if (folder.back() != '/') folder += '/';

  QImage blank(640, 480, QImage::Format_ARGB32);
  blank.fill(Qt::transparent);
  QImage black(64, 64, QImage::Format_ARGB32);
  black.fill(QColor(0, 0, 0, 255));

  QImage banner(600, 180, QImage::Format_ARGB32);
  {
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 600, 0);
    band.setColorAt(0.0, QColor(40, 15, 90));
    band.setColorAt(0.5, QColor(110, 30, 120));
    band.setColorAt(1.0, QColor(40, 15, 90));
    painter.fillRect(banner.rect(), band);
    DrawNote(painter, {60, 140}, 26, QColor(255, 255, 255, 120));
    DrawNote(painter, {520, 130}, 22, QColor(255, 255, 255, 100));
    DrawTitle(painter, QRectF(0, 20, 600, 140), 84, "Lyricade");
  }

  bool ok = true;
  ok &= Save(folder, "background.dds", StageBackground(640, 480, QString(), false), true);
  ok &= Save(folder, "blank.dds", blank, true);
  ok &= Save(folder, "black.dds", black, true);
  ok &= Save(folder, "Background.bmp", StageBackground(640, 480, "Karaoke Screen", true), false);
  ok &= Save(folder, "Back2.bmp", banner, false);
  return ok ? 0 : 1;
}
