#include "app/ui/background_options_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTextDocument>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "app/background_videos.h"
#include "common/app_settings.h"
#include "common/path_pieces.h"
#include "platform/prompts/prompts.h"

namespace lyricade {
namespace {

QTreeWidgetItem* Row(const PictureEntry& entry) {
  auto* row = new QTreeWidgetItem;
  row->setText(0, QString::fromStdString(entry.Name));
  row->setText(1, QString::fromStdString(entry.Path));
  // Tooltips take rich text: a file name is escaped into a plain paragraph.
  row->setToolTip(1, Qt::convertFromPlainText(QString::fromStdString(entry.Path)));
  // An entry whose drive is not plugged in stays listed, grey, and is
  // skipped until its file is back.
  if (!IsRegularFile(entry.Path))
    for (int column = 0; column < 2; ++column)
      row->setForeground(column, QApplication::palette().brush(QPalette::Disabled, QPalette::Text));
  return row;
}

}  // namespace

BackgroundOptionsWindow::BackgroundOptionsWindow(AppSettings& settings, BackgroundVideos& videos,
                                                 Prompts& prompts,
                                                 std::function<void(bool)> tickMainBox,
                                                 QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      videos_(videos),
      prompts_(prompts),
      tickMainBox_(std::move(tickMainBox)) {
  setWindowTitle(kCaption);
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  enable_ = new QCheckBox("Enable Backgrounds", this);
  layout->addWidget(enable_);

  list_ = new QTreeWidget(this);
  list_->setColumnCount(2);
  list_->setHeaderLabels({"Name", "Path"});
  list_->setColumnWidth(0, 200);
  list_->setColumnWidth(1, 100);
  list_->setRootIsDecorated(false);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setMinimumSize(420, 220);
  layout->addWidget(list_, 1);

  auto* buttons = new QHBoxLayout;
  add_ = new QPushButton("Add...", this);
  remove_ = new QPushButton("Remove...", this);
  showNow_ = new QPushButton("Show Now", this);
  auto* cancel = new QPushButton("Cancel", this);
  for (QPushButton* button : {add_, remove_, showNow_}) buttons->addWidget(button);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  connect(enable_, &QCheckBox::clicked, this, &BackgroundOptionsWindow::Enable);
  connect(add_, &QPushButton::clicked, this, &BackgroundOptionsWindow::AddEntry);
  connect(remove_, &QPushButton::clicked, this, &BackgroundOptionsWindow::RemoveEntry);
  connect(showNow_, &QPushButton::clicked, this, &BackgroundOptionsWindow::ShowSelected);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { ShowSelected(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
  Reload();
}

void BackgroundOptionsWindow::Reload() {
  enable_->setChecked(settings_.BackgroundsEnabled.load());
  list_->clear();
  for (const PictureEntry& entry : videos_.List().Entries()) list_->addTopLevelItem(Row(entry));
}

void BackgroundOptionsWindow::AddEntry() {
  const std::optional<std::string> path = prompts_.OpenFile(
      "Add Background", {{"Karaoke Files (*.jpg, *.gif, *.wmv, *.mpg, *.mp4, *.m4v, *.avi)",
                          "*.jpg;*.gif;*.wmv;*.mpg;*.mp4;*.m4v;*.avi"}});
  if (!path || path->empty()) return;
  videos_.List().Add(*path);
  list_->addTopLevelItem(Row(videos_.List().Entries().back()));
}

void BackgroundOptionsWindow::RemoveEntry() {
  // No question; a video that plays goes on until another one starts.
  QTreeWidgetItem* selected = list_->currentItem();
  if (!selected || !selected->isSelected()) return;
  const int row = list_->indexOfTopLevelItem(selected);
  if (!videos_.List().Remove(row)) return;
  std::unique_ptr<QTreeWidgetItem> taken(list_->takeTopLevelItem(row));
}

void BackgroundOptionsWindow::ShowSelected() {
  QTreeWidgetItem* selected = list_->currentItem();
  if (!selected) return;
  videos_.ShowEntry(list_->indexOfTopLevelItem(selected));
}

void BackgroundOptionsWindow::Enable(bool on) {
  videos_.Enable(on);
  if (tickMainBox_) tickMainBox_(on);
}

}  // namespace lyricade
