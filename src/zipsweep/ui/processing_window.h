#pragma once
// "Processing...": the modeless window of a run, a progress bar from 0 to
// 100 and "Abort", which raises the run's abort flag (so does closing it).

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace lyricade {

class ProcessingWindow : public QDialog {
  Q_OBJECT
public:
  explicit ProcessingWindow(QWidget* parent);

  void SetProgress(int percent);
  bool Aborted() const { return aborted_; }
  QPushButton* AbortButton() const { return abort_; }

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  QProgressBar* bar_ = nullptr;
  QPushButton* abort_ = nullptr;
  bool aborted_ = false;
};

}  // namespace lyricade
