#include "library/ui/replace_progress_window.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace lyricade {

ReplaceProgressWindow::~ReplaceProgressWindow() { Close(); }

ReplaceProgress ReplaceProgressWindow::Callbacks() {
  ReplaceProgress progress;
  progress.Open = [this] { Open(); };
  progress.Step = [this](const std::string& text, int percent) {
    if (!window_) return;
    text_->setText(QString::fromStdString(text));
    bar_->setValue(percent);
  };
  progress.Pump = [] { QCoreApplication::processEvents(); };
  progress.Close = [this] { Close(); };
  return progress;
}

void ReplaceProgressWindow::Open() {
  Close();
  window_ = new QWidget(owner_, Qt::Window);
  window_->setAttribute(Qt::WA_DeleteOnClose);
  window_->setWindowTitle(ReplaceProgress::kTitle);
  auto* layout = new QVBoxLayout(window_);
  auto* group = new QGroupBox(ReplaceProgress::kGroup, window_);
  auto* inner = new QVBoxLayout(group);
  text_ = new QLabel(ReplaceProgress::kFirstText, group);
  text_->setTextFormat(Qt::PlainText);
  bar_ = new QProgressBar(group);
  bar_->setRange(0, 100);
  inner->addWidget(text_);
  inner->addWidget(bar_);
  layout->addWidget(group);
  window_->resize(320, 110);
  window_->show();
}

void ReplaceProgressWindow::Close() {
  if (window_) window_->close();
  window_ = nullptr;
}

}  // namespace lyricade
