#pragma once
// The modeless "Search and Replace" progress window: a group "Progress:",
// the "done / count" text and a bar from 0 to 100. Hands out the callbacks
// the search-and-replace command drives it with.

#include <QPointer>
#include <QWidget>

#include "library/library_maintenance.h"

class QLabel;
class QProgressBar;

namespace lyricade {

class ReplaceProgressWindow {
public:
  explicit ReplaceProgressWindow(QWidget* owner) : owner_(owner) {}
  ~ReplaceProgressWindow();
  ReplaceProgressWindow(const ReplaceProgressWindow&) = delete;
  ReplaceProgressWindow& operator=(const ReplaceProgressWindow&) = delete;

  ReplaceProgress Callbacks();
  QWidget* Window() const { return window_; }

private:
  void Open();
  void Close();

  QWidget* owner_;
  QPointer<QWidget> window_;
  QLabel* text_ = nullptr;
  QProgressBar* bar_ = nullptr;
};

}  // namespace lyricade
