#include "app/ui/skin.h"

#include <QPainter>

#include "app/app_log.h"

namespace lyricade {

void Skin::Load(const std::string& dataFolder) {
  const QString folder = QString::fromStdString(dataFolder);
  back_.load(folder + "LYRBack.bmp");
  up_.load(folder + "LYRBackUp.bmp");
  down_.load(folder + "LYRBackDown.bmp");
  // Without them the window and its buttons are drawn plainly; the host is
  // not told.
  for (const auto& [picture, name] : {std::pair{&back_, "LYRBack.bmp"}, std::pair{&up_, "LYRBackUp.bmp"},
                                      std::pair{&down_, "LYRBackDown.bmp"}})
    if (picture->isNull()) qCInfo(lcApp) << "no skin picture" << (dataFolder + name).c_str();
}

void Skin::PaintBackground(QPainter& painter, const QSize& client) const {
  const QColor lightGrey(210, 210, 210);
  painter.fillRect(QRect(QPoint(0, 0), client), lightGrey);
  if (back_.isNull()) return;
  const int columns = std::min({client.width(), 1280, back_.width()});
  const int rows = std::min({client.height(), 1024, back_.height()});
  painter.drawPixmap(QRect(0, 0, columns, rows), back_, QRect(0, 0, columns, rows));
  if (client.width() > columns && columns > 0)
    painter.drawPixmap(QRect(columns, 0, client.width() - columns, rows), back_,
                       QRect(columns - 1, 0, 1, rows));
}

SkinnedButton::SkinnedButton(const QString& text, const Skin& skin, QWidget* parent)
    : QPushButton(text, parent), skin_(skin) {}

void SkinnedButton::paintEvent(QPaintEvent* event) {
  if (!skin_.Loaded()) {
    QPushButton::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const QPixmap& face = isDown() ? skin_.Down() : skin_.Up();
  painter.drawPixmap(rect(), face, QRect(mapTo(window(), QPoint(0, 0)), size()));
}

}  // namespace lyricade
