#pragma once
// "Quick Sound Effects": the twenty pads ("1".."20", "*%d" when assigned),
// "Mode" with its label, "Pause", "Stop", "Close", and a status line naming
// the file of the pad under the pointer. Modeless; an effect goes on when
// the window closes.

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace lyricade {

class Prompts;
class QuickEffects;

class QuickEffectsWindow : public QDialog {
  Q_OBJECT
public:
  QuickEffectsWindow(QuickEffects& effects, Prompts& prompts, QWidget* parent = nullptr);

  // Buttons and label from the pads and the mode (on every opening).
  void Reload();
  QPushButton* SlotButton(int slot) const { return slots_.at(static_cast<size_t>(slot)); }
  QLabel* ModeLabel() const { return mode_; }
  QLabel* StatusLine() const { return status_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QuickEffects& effects_;
  Prompts& prompts_;
  std::array<QPushButton*, 20> slots_{};
  QLabel* mode_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace lyricade
