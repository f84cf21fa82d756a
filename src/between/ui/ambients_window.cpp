#include "between/ui/ambients_window.h"

#include <QBrush>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "between/ambient_folder_walk.h"
#include "between/ambient_list.h"
#include "between/break_music.h"
#include "library/library_import.h"
#include "library/ui/import_progress_window.h"
#include "platform/prompts/prompts.h"

namespace lyricade {

AmbientsWindow::AmbientsWindow(AmbientList& list, BreakMusic& music, Prompts& prompts, QWidget* parent)
    : QDialog(parent), list_(list), music_(music), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Music Ambients List"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  rows_ = new QTreeWidget(this);
  rows_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Path")});
  rows_->setRootIsDecorated(false);
  rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rows_->setAllColumnsShowFocus(true);
  rows_->header()->setStretchLastSection(false);
  rows_->setColumnWidth(0, 200);
  rows_->setColumnWidth(1, 100);
  layout->addWidget(rows_, 1);

  auto* buttons = new QGridLayout;
  const std::pair<const char*, void (AmbientsWindow::*)()> commands[] = {
      {"Add...", &AmbientsWindow::Add},          {"Add Folder...", &AmbientsWindow::AddFolder},
      {"Remove...", &AmbientsWindow::RemoveSelected}, {"Play", &AmbientsWindow::PlaySelected},
      {"Clear List...", &AmbientsWindow::ClearList}};
  int at = 0;
  for (const auto& [text, command] : commands) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    connect(button, &QPushButton::clicked, this, command);
    buttons->addWidget(button, at / 3, at % 3);
    ++at;
  }
  auto* stop = new QPushButton(QStringLiteral("Stop"), this);
  connect(stop, &QPushButton::clicked, this, [this] { music_.FadeOut(); });
  buttons->addWidget(stop, at / 3, at % 3);
  layout->addLayout(buttons);

  auto* volume = new QHBoxLayout;
  auto* volumeLabel = new QLabel(QStringLiteral("Ambient Volume:"), this);
  volumeLabel->setTextFormat(Qt::PlainText);
  volume->addWidget(volumeLabel);
  auto* down = new QPushButton(QStringLiteral("-"), this);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(0, 100);
  auto* up = new QPushButton(QStringLiteral("+"), this);
  percent_ = new QLabel(this);
  percent_->setTextFormat(Qt::PlainText);
  volume->addWidget(down);
  volume->addWidget(slider_, 1);
  volume->addWidget(up);
  volume->addWidget(percent_);
  layout->addLayout(volume);

  connect(down, &QPushButton::clicked, this, [this] { StepVolume(-5); });
  connect(up, &QPushButton::clicked, this, [this] { StepVolume(5); });
  connect(slider_, &QSlider::valueChanged, this, [this](int value) {
    music_.SetVolume(value);
    ShowVolume();
  });
  connect(rows_, &QTreeWidget::itemDoubleClicked, this, [this] { PlaySelected(); });
  Reload();
}

void AmbientsWindow::Reload() {
  rows_->clear();
  const QBrush absent = palette().brush(QPalette::Disabled, QPalette::Text);
  for (int index = 0; index < list_.Size(); ++index) {
    const AmbientTrack& track = list_.At(index);
    auto* row = new QTreeWidgetItem(
        QStringList{QString::fromStdString(track.Name), QString::fromStdString(track.Path)});
    // A track whose drive is not plugged in stays listed, grey, and is
    // skipped until its file is back.
    if (!list_.Present(index))
      for (int column = 0; column < 2; ++column) {
        row->setForeground(column, absent);
        row->setToolTip(column, QStringLiteral("The file is not there now; it is skipped."));
      }
    rows_->addTopLevelItem(row);
  }
  const QSignalBlocker quiet(slider_);
  slider_->setValue(music_.Volume());
  ShowVolume();
}

void AmbientsWindow::ShowVolume() { percent_->setText(QStringLiteral("%1%").arg(music_.Volume())); }

int AmbientsWindow::SelectedRow() const {
  const QModelIndex current = rows_->currentIndex();
  return current.isValid() && rows_->selectionModel()->isRowSelected(current.row(), {}) ? current.row() : -1;
}

void AmbientsWindow::Add() {
  const std::optional<std::string> chosen =
      prompts_.OpenFile("Open", {{"Music Files (*.mp3, *.wma, *.wav)", "*.mp3;*.wma;*.wav"}});
  if (!chosen) return;
  list_.AddFile(*chosen);
  Reload();
}

AmbientsWindow::~AmbientsWindow() = default;

void AmbientsWindow::AddFolder() {
  if (walk_) return;
  const std::optional<std::string> folder = prompts_.ChooseFolder("Browse for Folder", {});
  if (!folder) return;
  walk_ = std::make_unique<AmbientFolderWalk>(*folder);
  progress_ = std::make_unique<ImportProgressWindow>();
  progress_->Callbacks().Caption(AddFolderCaption(*folder));
  if (!walkTimer_) {
    walkTimer_ = new QTimer(this);
    walkTimer_->setInterval(50);
    connect(walkTimer_, &QTimer::timeout, this, &AmbientsWindow::FollowWalk);
  }
  walkTimer_->start();
}

void AmbientsWindow::FollowWalk() {
  if (!walk_) return;
  if (progress_->Aborted()) walk_->Abort();
  progress_->Callbacks().Caption(AddFolderCaption(walk_->CurrentFolder()));
  if (walk_->Aborted()) {
    EndWalk();
    return;
  }
  if (!walk_->Done()) return;
  list_.AddFound(walk_->TakeFound());
  EndWalk();
  Reload();
}

void AmbientsWindow::EndWalk() {
  if (walkTimer_) walkTimer_->stop();
  // An aborted walk stops at its next entry; waiting for it is short.
  walk_.reset();
  progress_.reset();
}

void AmbientsWindow::hideEvent(QHideEvent* event) {
  // Closed (not minimised): a walk still going adds nothing, and never
  // outlives the window or the program.
  if (!event->spontaneous()) EndWalk();
  QDialog::hideEvent(event);
}

void AmbientsWindow::RemoveSelected() {
  const int row = SelectedRow();
  if (row < 0) return;
  list_.Remove(row);
  Reload();
}

void AmbientsWindow::PlaySelected() {
  const int row = SelectedRow();
  if (row >= 0) music_.PlayIndex(row);
}

void AmbientsWindow::ClearList() {
  if (prompts_.Message("Clear List", "Are You Sure?", PromptButtons::YesNo, PromptIcon::Question) !=
      PromptAnswer::Yes)
    return;
  list_.Clear();
  Reload();
}

void AmbientsWindow::StepVolume(int points) {
  music_.SetVolume(music_.Volume() + points);
  const QSignalBlocker quiet(slider_);
  slider_->setValue(music_.Volume());
  ShowVolume();
}

}  // namespace lyricade
