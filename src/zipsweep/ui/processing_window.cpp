#include "zipsweep/ui/processing_window.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace lyricade {

ProcessingWindow::ProcessingWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Processing...");
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setMinimumWidth(300);
  abort_ = new QPushButton("Abort", this);
  layout->addWidget(bar_);
  layout->addWidget(abort_, 0, Qt::AlignHCenter);
  connect(abort_, &QPushButton::clicked, this, [this] { aborted_ = true; });
}

void ProcessingWindow::SetProgress(int percent) { bar_->setValue(percent); }

void ProcessingWindow::closeEvent(QCloseEvent* event) {
  // The run closes the window itself when it ends; until then closing it is
  // the same as "Abort".
  aborted_ = true;
  event->ignore();
}

}  // namespace lyricade
