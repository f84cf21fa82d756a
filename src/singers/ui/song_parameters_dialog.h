#pragma once
// "Edit Song Parameters": the key and multiplex buttons of "Add Song" for a
// queued song, opened with the song's own settings.

#include <QDialog>

#include "singers/ui/key_multiplex_picker.h"

class QPushButton;

namespace lyricade {

class SongParametersDialog : public QDialog {
  Q_OBJECT
public:
  SongParametersDialog(int key, int multiplex, QWidget* parent = nullptr);

  int Key() const { return picker_->Key(); }
  int Multiplex() const { return picker_->Multiplex(); }
  KeyMultiplexPicker* Picker() const { return picker_; }
  QPushButton* OkButton() const { return okButton_; }

private:
  KeyMultiplexPicker* picker_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace lyricade
