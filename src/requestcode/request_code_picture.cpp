#include "requestcode/request_code_picture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "requestcode/qr_code.h"

namespace lyricade {

QImage RequestCodePicture(const std::string& address, int moduleSize) {
  const QrCode code = EncodeQrCode(address);
  if (code.Size == 0 || moduleSize <= 0) return {};
  // Four modules of white around the code, as readers expect.
  const int quiet = 4 * moduleSize;
  const int side = code.Size * moduleSize + 2 * quiet;
  const int textHeight = moduleSize * 7;
  const QString caption = "Scan to request a song";
  const QString link = QString::fromStdString(address);
  QFont captionFont("Liberation Sans");
  captionFont.setPixelSize(textHeight * 6 / 10);
  captionFont.setBold(true);
  QFont linkFont("Liberation Sans");
  linkFont.setPixelSize(textHeight * 45 / 100);
  // The card is as wide as its widest line, the code in its middle.
  const int width = std::max({side, QFontMetrics(captionFont).horizontalAdvance(caption) + quiet,
                              QFontMetrics(linkFont).horizontalAdvance(link) + quiet});
  const int left = (width - side) / 2 + quiet;
  QImage picture(width, side + 2 * textHeight, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  for (int y = 0; y < code.Size; ++y)
    for (int x = 0; x < code.Size; ++x)
      if (code.IsDark(x, y)) painter.drawRect(left + x * moduleSize, quiet + y * moduleSize, moduleSize, moduleSize);
  painter.setPen(Qt::black);
  painter.setFont(captionFont);
  painter.drawText(QRect(0, side - quiet / 2, width, textHeight), Qt::AlignCenter, caption);
  painter.setFont(linkFont);
  painter.drawText(QRect(0, side - quiet / 2 + textHeight, width, textHeight), Qt::AlignCenter, link);
  return picture;
}

}  // namespace lyricade
