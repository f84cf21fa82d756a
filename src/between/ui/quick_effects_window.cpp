#include "between/ui/quick_effects_window.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "between/quick_effects.h"

namespace lyricade {

QuickEffectsWindow::QuickEffectsWindow(QuickEffects& effects, Prompts& prompts, QWidget* parent)
    : QDialog(parent), effects_(effects), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Quick Sound Effects"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* pads = new QGridLayout;
  for (int slot = 0; slot < EffectSlots::kSlotCount; ++slot) {
    auto* button = new QPushButton(this);
    button->setMinimumSize(56, 40);
    button->installEventFilter(this);
    pads->addWidget(button, slot / 5, slot % 5);
    connect(button, &QPushButton::clicked, this, [this, slot] {
      effects_.Press(slot, prompts_);
      slots_[static_cast<size_t>(slot)]->setText(
          QString::fromStdString(effects_.Slots().ButtonText(slot)));
    });
    slots_[static_cast<size_t>(slot)] = button;
  }
  layout->addLayout(pads);

  auto* controls = new QHBoxLayout;
  auto* modeButton = new QPushButton(QStringLiteral("Mode"), this);
  mode_ = new QLabel(this);
  mode_->setTextFormat(Qt::PlainText);
  auto* pause = new QPushButton(QStringLiteral("Pause"), this);
  auto* stop = new QPushButton(QStringLiteral("Stop"), this);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  controls->addWidget(modeButton);
  controls->addWidget(mode_, 1);
  controls->addWidget(pause);
  controls->addWidget(stop);
  controls->addWidget(close);
  layout->addLayout(controls);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  layout->addWidget(status_);

  connect(modeButton, &QPushButton::clicked, this, [this] {
    effects_.ToggleMode();
    mode_->setText(QString::fromStdString(effects_.ModeText()));
  });
  connect(pause, &QPushButton::clicked, this, [this] { effects_.TogglePause(); });
  connect(stop, &QPushButton::clicked, this, [this] { effects_.Stop(); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  Reload();
}

void QuickEffectsWindow::Reload() {
  for (int slot = 0; slot < EffectSlots::kSlotCount; ++slot)
    slots_[static_cast<size_t>(slot)]->setText(QString::fromStdString(effects_.Slots().ButtonText(slot)));
  mode_->setText(QString::fromStdString(effects_.ModeText()));
}

bool QuickEffectsWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    for (int slot = 0; slot < EffectSlots::kSlotCount; ++slot) {
      if (watched != slots_[static_cast<size_t>(slot)]) continue;
      status_->setText(event->type() == QEvent::Enter
                           ? QString::fromStdString(effects_.Slots().StatusText(slot))
                           : QString());
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace lyricade
