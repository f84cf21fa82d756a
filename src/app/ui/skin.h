#pragma once
// The optional skin: "LYRBack.bmp" (the window's background),
// "LYRBackUp.bmp" and "LYRBackDown.bmp" (the same picture with every
// owner-drawn button released or pressed) from the data folder. Without all
// three the window keeps the standard look.

#include <QPixmap>
#include <QPushButton>
#include <string>

class QPainter;

namespace lyricade {

class Skin {
public:
  void Load(const std::string& dataFolder);
  bool Loaded() const { return !back_.isNull() && !up_.isNull() && !down_.isNull(); }
  const QPixmap& Back() const { return back_; }
  const QPixmap& Up() const { return up_; }
  const QPixmap& Down() const { return down_; }

  // Paints the window background: the picture 1:1; beyond 1280 columns its
  // last column is stretched, below 1024 rows light grey.
  void PaintBackground(QPainter& painter, const QSize& client) const;

private:
  QPixmap back_, up_, down_;
};

// A button that takes its face from the skin at its place in the window when
// a skin is loaded, and is an ordinary button (text or icon) otherwise.
class SkinnedButton : public QPushButton {
public:
  SkinnedButton(const QString& text, const Skin& skin, QWidget* parent = nullptr);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  const Skin& skin_;
};

}  // namespace lyricade
