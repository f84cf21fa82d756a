#pragma once
// "Edit Song Parameters": the key and multiplex buttons of "Add Song" for a
// queued song, and its tempo, opened with the song's own settings.

#include <QDialog>

#include "singers/ui/key_multiplex_picker.h"

class QPushButton;
class QSpinBox;

namespace lyricade {

class SongParametersDialog : public QDialog {
  Q_OBJECT
public:
  SongParametersDialog(int key, int multiplex, int tempo, QWidget* parent = nullptr);

  int Key() const { return picker_->Key(); }
  int Multiplex() const { return picker_->Multiplex(); }
  // Percent, -20 to 20.
  int Tempo() const;
  QSpinBox* TempoBox() const { return tempo_; }
  KeyMultiplexPicker* Picker() const { return picker_; }
  QPushButton* OkButton() const { return okButton_; }

private:
  KeyMultiplexPicker* picker_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QSpinBox* tempo_ = nullptr;
};

}  // namespace lyricade
