#pragma once
// The store's progress window: a title, the progress line and, for
// downloads, "Abort...". Modeless; the store's transfer runs on a worker
// meanwhile, so the window paints and takes the click.

#include <QDialog>

#include "store/store_progress.h"

class QLabel;
class QPushButton;

namespace lyricade {

class StoreProgressWindow : public QDialog, public StoreProgress {
  Q_OBJECT
public:
  explicit StoreProgressWindow(QWidget* parent = nullptr);

  void Open(const std::string& title, bool abortable) override;
  void SetText(const std::string& text) override;
  bool AbortPressed() const override { return aborted_; }
  void Close() override;

private:
  QLabel* text_ = nullptr;
  QPushButton* abort_ = nullptr;
  bool aborted_ = false;
};

}  // namespace lyricade
