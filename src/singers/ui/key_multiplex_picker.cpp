#include "singers/ui/key_multiplex_picker.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace lyricade {
namespace {

QPushButton* SmallButton(const QString& text, int width, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setFixedWidth(width);
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

// The chosen value, shown in a sunken box beside its buttons.
QLabel* ValueLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFrameShape(QFrame::StyledPanel);
  label->setFrameShadow(QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  label->setFixedWidth(64);
  return label;
}

}  // namespace

QString KeyMultiplexPicker::KeyText(int key) {
  return key == 0 ? QStringLiteral("Normal") : QString::number(key);
}

QString KeyMultiplexPicker::MultiplexText(int multiplex) {
  switch (multiplex) {
    case 1: return QStringLiteral("Left");
    case 2: return QStringLiteral("Right");
    default: return QStringLiteral("C");
  }
}

KeyMultiplexPicker::KeyMultiplexPicker(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(10);

  grid->addWidget(new QLabel(QStringLiteral("Singer Key (Half Keys):"), this), 0, 0, 1, 2);
  auto* keys = new QHBoxLayout;
  keys->setSpacing(2);
  for (int key = -4; key <= 4; ++key) {
    QPushButton* button = SmallButton(QString::number(key), 34, this);
    keyButtons_[static_cast<size_t>(key + 4)] = button;
    keys->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, key] { SetKey(key); });
  }
  grid->addLayout(keys, 1, 0);
  keyLabel_ = ValueLabel(this);
  grid->addWidget(keyLabel_, 1, 1);

  grid->addWidget(new QLabel(QStringLiteral("Multiplex:"), this), 2, 0, 1, 2);
  auto* channels = new QHBoxLayout;
  channels->setSpacing(2);
  // The buttons in their order on screen: Left, Right, C.
  for (int multiplex : {1, 2, 0}) {
    QPushButton* button = SmallButton(MultiplexText(multiplex), 56, this);
    multiplexButtons_[static_cast<size_t>(multiplex)] = button;
    channels->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, multiplex] { SetMultiplex(multiplex); });
  }
  channels->addStretch(1);
  grid->addLayout(channels, 3, 0);
  multiplexLabel_ = ValueLabel(this);
  grid->addWidget(multiplexLabel_, 3, 1);

  SetKey(0);
  SetMultiplex(0);
}

void KeyMultiplexPicker::SetKey(int key) {
  key_ = std::clamp(key, -4, 4);
  keyLabel_->setText(KeyText(key_));
}

void KeyMultiplexPicker::SetMultiplex(int multiplex) {
  multiplex_ = std::clamp(multiplex, 0, 2);
  multiplexLabel_->setText(MultiplexText(multiplex_));
}

QPushButton* KeyMultiplexPicker::KeyButton(int key) const {
  if (key < -4 || key > 4) return nullptr;
  return keyButtons_[static_cast<size_t>(key + 4)];
}

QPushButton* KeyMultiplexPicker::MultiplexButton(int multiplex) const {
  if (multiplex < 0 || multiplex > 2) return nullptr;
  return multiplexButtons_[static_cast<size_t>(multiplex)];
}

}  // namespace lyricade
