#include "library/ui/import_progress_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace lyricade {
namespace {

// The window's close box means what "Abort" means: a hidden window with the
// import going on would leave the host no way to stop it.
class CloseAborts : public QObject {
public:
  CloseAborts(QObject* parent, std::function<void()> abort)
      : QObject(parent), abort_(std::move(abort)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) abort_();
    return false;
  }

private:
  std::function<void()> abort_;
};

}  // namespace

ImportProgressWindow::ImportProgressWindow() : window_(std::make_unique<QWidget>()) {
  window_->setWindowTitle("Please wait...");
  auto* layout = new QVBoxLayout(window_.get());
  group_ = new QGroupBox("Add Folder: ", window_.get());
  auto* inner = new QVBoxLayout(group_);
  file_ = new QLabel(group_);
  file_->setTextFormat(Qt::PlainText);
  file_->setMinimumWidth(420);
  inner->addWidget(file_);
  layout->addWidget(group_);
  abort_ = new QPushButton("Abort", window_.get());
  layout->addWidget(abort_, 0, Qt::AlignRight);
  QObject::connect(abort_, &QPushButton::clicked, abort_, [this] { Abort(); });
  window_->installEventFilter(new CloseAborts(window_.get(), [this] { aborted_ = true; }));
  window_->show();
}

ImportProgressWindow::~ImportProgressWindow() = default;

void ImportProgressWindow::Abort() {
  aborted_ = true;
  window_->hide();
}

ImportProgress ImportProgressWindow::Callbacks() {
  ImportProgress progress;
  progress.Caption = [this](const std::string& caption) {
    group_->setTitle(QString::fromStdString(caption));
  };
  progress.File = [this](const std::string& path) { file_->setText(QString::fromStdString(path)); };
  progress.Pump = [] { QCoreApplication::processEvents(); };
  progress.Aborted = [this] { return aborted_; };
  return progress;
}

}  // namespace lyricade
