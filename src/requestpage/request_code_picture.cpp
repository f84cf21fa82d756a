#include "requestpage/request_code_picture.h"

#include <QFont>
#include <QPainter>

#include "requestpage/qr_code.h"

namespace lyricade {

QImage RequestCodePicture(const std::string& address, int moduleSize) {
  const QrCode code = EncodeQrCode(address);
  if (code.Size == 0 || moduleSize <= 0) return {};
  // Four modules of white around the code, as readers expect.
  const int quiet = 4 * moduleSize;
  const int side = code.Size * moduleSize + 2 * quiet;
  const int textHeight = moduleSize * 7;
  QImage picture(side, side + 2 * textHeight, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  for (int y = 0; y < code.Size; ++y)
    for (int x = 0; x < code.Size; ++x)
      if (code.IsDark(x, y)) painter.drawRect(quiet + x * moduleSize, quiet + y * moduleSize, moduleSize, moduleSize);
  QFont font("Liberation Sans");
  font.setPixelSize(textHeight * 6 / 10);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(0, side - quiet / 2, side, textHeight), Qt::AlignCenter, "Scan to request a song");
  font.setBold(false);
  font.setPixelSize(textHeight * 45 / 100);
  painter.setFont(font);
  painter.drawText(QRect(0, side - quiet / 2 + textHeight, side, textHeight), Qt::AlignCenter,
                   QString::fromStdString(address));
  return picture;
}

}  // namespace lyricade
