#include "zipsweep/ui/folder_scan_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lyricade {

FolderScanWindow::FolderScanWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Add Folder, Please Wait...");
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox("Add Folder: ", this);
  auto* groupLayout = new QVBoxLayout(group);
  status_ = new QLabel(group);
  status_->setTextFormat(Qt::PlainText);
  status_->setMinimumWidth(400);
  groupLayout->addWidget(status_);
  abort_ = new QPushButton("Abort", this);
  layout->addWidget(group);
  layout->addWidget(abort_, 0, Qt::AlignHCenter);
  connect(abort_, &QPushButton::clicked, this, [this] {
    aborted_ = true;
    hide();
  });
}

void FolderScanWindow::SetStatus(const std::string& text) {
  status_->setText(QString::fromStdString(text));
}

void FolderScanWindow::closeEvent(QCloseEvent* event) {
  aborted_ = true;
  QDialog::closeEvent(event);
}

}  // namespace lyricade
