#include "store/ui/store_progress_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lyricade {

StoreProgressWindow::StoreProgressWindow(QWidget* parent) : QDialog(parent) {
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel("0 / 0", this);
  text_->setTextFormat(Qt::PlainText);
  text_->setMinimumWidth(260);
  layout->addWidget(text_);
  abort_ = new QPushButton("Abort...", this);
  layout->addWidget(abort_);
  connect(abort_, &QPushButton::clicked, this, [this] {
    aborted_ = true;
    abort_->setEnabled(false);
  });
}

void StoreProgressWindow::Open(const std::string& title, bool abortable) {
  aborted_ = false;
  setWindowTitle(QString::fromStdString(title));
  text_->setText("0 / 0");
  abort_->setVisible(abortable);
  abort_->setEnabled(true);
  show();
  raise();
}

void StoreProgressWindow::SetText(const std::string& text) {
  text_->setText(QString::fromStdString(text));
}

void StoreProgressWindow::Close() { hide(); }

}  // namespace lyricade
