#pragma once
// "Add Folder, Please Wait...": shown while a folder tree is scanned for
// archives, with the group "Add Folder: ", the path last found and "Abort".
// Any button of the window, or closing it, raises the abort flag and closes
// the window.

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace lyricade {

class FolderScanWindow : public QDialog {
  Q_OBJECT
public:
  explicit FolderScanWindow(QWidget* parent);

  void SetStatus(const std::string& text);
  bool Aborted() const { return aborted_; }
  QPushButton* AbortButton() const { return abort_; }

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  QLabel* status_ = nullptr;
  QPushButton* abort_ = nullptr;
  bool aborted_ = false;
};

}  // namespace lyricade
