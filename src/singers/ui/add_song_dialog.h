#pragma once
// "Add Song": names the singer a song is queued for and the key and channel
// it is sung in. A typed name always makes a new singer at the end of the
// rotation (even when one of that name exists); otherwise the singer picked
// in the quick-selection list is used; with neither, "Must enter or select a
// Singer Name" and the dialog stays open. A double click on a listed singer
// closes the dialog with that singer. Key and multiplex start at 0.

#include <QDialog>

#include <string>

#include "singers/ui/history_name_button.h"
#include "singers/ui/key_multiplex_picker.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace lyricade {

class Prompts;
class SingerRotation;

// What the dialog was closed with.
struct AddSongChoice {
  // A rotation position, or -1 when NewName is to be appended.
  int Singer = -1;
  std::string NewName;
  int Key = 0;
  int Multiplex = 0;
};

class AddSongDialog : public QDialog {
  Q_OBJECT
public:
  AddSongDialog(const SingerRotation& rotation, Prompts& prompts, HistoryNames names,
                QWidget* parent = nullptr);

  // Valid once the dialog is accepted.
  const AddSongChoice& Choice() const { return choice_; }

  QListWidget* SingerList() const { return singerList_; }
  QLineEdit* NameField() const { return nameField_; }
  HistoryNameButton* NameButton() const { return nameButton_; }
  KeyMultiplexPicker* Picker() const { return picker_; }
  QPushButton* OkButton() const { return okButton_; }

  void accept() override;

private:
  void Close(int singer, const std::string& newName);

  Prompts& prompts_;
  AddSongChoice choice_;
  QListWidget* singerList_ = nullptr;
  QLineEdit* nameField_ = nullptr;
  HistoryNameButton* nameButton_ = nullptr;
  KeyMultiplexPicker* picker_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace lyricade
