#pragma once
// The key and channel choice of a queued song: key buttons "-4" to "4" in
// half steps with a label ("Normal" for 0, the plain number otherwise) and
// the "Multiplex:" buttons "Left", "Right", "C" with a label. Shared by the
// "Add Song" and "Edit Song Parameters" dialogs.

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace lyricade {

class KeyMultiplexPicker : public QWidget {
  Q_OBJECT
public:
  explicit KeyMultiplexPicker(QWidget* parent = nullptr);

  // The label texts: "Normal" / "%d"; "C" / "Left" / "Right".
  static QString KeyText(int key);
  static QString MultiplexText(int multiplex);

  int Key() const { return key_; }
  int Multiplex() const { return multiplex_; }
  // Out-of-range values are clamped (-4..4, 0..2).
  void SetKey(int key);
  void SetMultiplex(int multiplex);

  // The button for a key (-4..4) or a multiplex (0 centre, 1 left, 2 right).
  QPushButton* KeyButton(int key) const;
  QPushButton* MultiplexButton(int multiplex) const;
  QLabel* KeyLabel() const { return keyLabel_; }
  QLabel* MultiplexLabel() const { return multiplexLabel_; }

private:
  int key_ = 0;
  int multiplex_ = 0;
  std::array<QPushButton*, 9> keyButtons_{};
  std::array<QPushButton*, 3> multiplexButtons_{};
  QLabel* keyLabel_ = nullptr;
  QLabel* multiplexLabel_ = nullptr;
};

}  // namespace lyricade
