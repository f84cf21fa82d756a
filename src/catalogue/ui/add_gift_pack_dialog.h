#pragma once
// "Add Gift Pack": buy a pack of 10, 25, 50 or 75 songs from the service, or
// add a pack bought elsewhere by its code. Both go to the store; the dialog
// closes once a pack is in the list.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lyricade {

class Store;

class AddGiftPackDialog : public QDialog {
  Q_OBJECT
public:
  static constexpr const char* kPrompt = "Press Button to Purchase and Add a Gift Pack...";
  static constexpr const char* kPackButtons[4] = {"10 Pack", "25 Pack", "50 Pack", "75 Pack"};

  AddGiftPackDialog(Store& store, QWidget* parent = nullptr);

  QPushButton* PackButton(int type) const { return packs_[type]; }
  QLineEdit* CodeBox() const { return code_; }
  QPushButton* AddCodeButton() const { return addCode_; }

private:
  void Buy(int type);

  Store& store_;
  QLabel* prompt_ = nullptr;
  QPushButton* packs_[4] = {};
  QLineEdit* code_ = nullptr;
  QPushButton* addCode_ = nullptr;
};

}  // namespace lyricade
