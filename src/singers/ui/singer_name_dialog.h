#pragma once
// "Edit Singer Name" (titled "Add Singer Name" when a singer is added): one
// name field of at most 99 characters and the "..." History name menu. OK
// with an empty field says "Must enter a Singer Name" and stays open.

#include <QDialog>

#include <string>

#include "singers/ui/history_name_button.h"

class QLineEdit;
class QPushButton;

namespace lyricade {

class Prompts;

class SingerNameDialog : public QDialog {
  Q_OBJECT
public:
  enum class Purpose { Add, Edit };

  SingerNameDialog(Purpose purpose, const std::string& name, Prompts& prompts, HistoryNames names,
                   QWidget* parent = nullptr);

  // The name as typed, once the dialog is accepted.
  std::string Name() const;

  QLineEdit* NameField() const { return nameField_; }
  HistoryNameButton* NameButton() const { return nameButton_; }
  QPushButton* OkButton() const { return okButton_; }

  void accept() override;

private:
  Prompts& prompts_;
  QLineEdit* nameField_ = nullptr;
  HistoryNameButton* nameButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace lyricade
