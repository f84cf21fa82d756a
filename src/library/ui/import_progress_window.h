#pragma once
// The "Please wait..." window of a folder import: the group caption ("Add
// Folder: " and the folder being listed), the file being imported, and
// "Abort", which sets the abort flag and closes the window; its close box
// aborts as well. Modeless and
// owned by nobody, so the main window stays usable behind it.

#include <QWidget>

#include <memory>

#include "library/library_import.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace lyricade {

class ImportProgressWindow {
public:
  // Opens the window; the abort flag starts clear.
  ImportProgressWindow();
  ~ImportProgressWindow();
  ImportProgressWindow(const ImportProgressWindow&) = delete;
  ImportProgressWindow& operator=(const ImportProgressWindow&) = delete;

  ImportProgress Callbacks();
  bool Aborted() const { return aborted_; }
  // "Abort", from the button or from the program (closing it during an
  // import).
  void Abort();
  QWidget* Window() const { return window_.get(); }
  QPushButton* AbortButton() const { return abort_; }

private:
  std::unique_ptr<QWidget> window_;
  QGroupBox* group_ = nullptr;
  QLabel* file_ = nullptr;
  QPushButton* abort_ = nullptr;
  bool aborted_ = false;
};

}  // namespace lyricade
