#include "app/ui/library_folders_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/library_upkeep.h"
#include "library/library_database.h"
#include "library/watched_folders.h"

namespace lyricade {
namespace {

constexpr const char* kAutomaticKey = "Library/RefreshAutomatically";

}  // namespace

bool AutomaticRefreshChosen() { return QSettings().value(kAutomaticKey, false).toBool(); }

void StoreAutomaticRefresh(bool on) { QSettings().setValue(kAutomaticKey, on); }

QString UpkeepReportText(const UpkeepReport& report) {
  QString text = QString("Added %1 songs, %2 moved, %3 missing.").arg(report.Added).arg(report.Moved).arg(report.Missing);
  if (!report.Unavailable.empty())
    text += QString(" %1 folder(s) could not be read (unplugged?) and were left as they were.")
                .arg(report.Unavailable.size());
  if (report.NeedAttention > 0) text += QString(" %1 songs need attention.").arg(report.NeedAttention);
  return text;
}

LibraryFoldersDialog::LibraryFoldersDialog(LibraryDatabase& database, LibraryUpkeep& upkeep, QWidget* parent)
    : QDialog(parent), database_(database), upkeep_(upkeep) {
  setWindowTitle("Library Folders");
  resize(720, 420);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel("The library's songs come from these folders. A refresh adds their new songs, "
                           "follows moved ones and marks vanished ones missing (nothing is removed).",
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  list_ = new QTreeWidget(this);
  list_->setColumnCount(3);
  list_->setHeaderLabels({"Folder", "File Name Layout", "Tags"});
  list_->setRootIsDecorated(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  layout->addWidget(list_, 1);

  auto* choices = new QHBoxLayout;
  choices->addWidget(new QLabel("New folders:", this));
  layout_ = new QComboBox(this);
  for (int format = 0; format <= 3; ++format)
    layout_->addItem(FileNameFormatCaption(FileNameFormatFrom(format)));
  choices->addWidget(layout_, 1);
  ignoreTags_ = new QCheckBox("Ignore tags", this);
  choices->addWidget(ignoreTags_);
  layout->addLayout(choices);

  automatic_ = new QCheckBox("Refresh at start and every few minutes while idle, and when a folder changes",
                             this);
  automatic_->setChecked(AutomaticRefreshChosen());
  layout->addWidget(automatic_);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  status_->setWordWrap(true);
  layout->addWidget(status_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* add = buttons->addButton("Add...", QDialogButtonBox::ActionRole);
  QPushButton* remove = buttons->addButton("Remove", QDialogButtonBox::ActionRole);
  QPushButton* refresh = buttons->addButton("Refresh Now", QDialogButtonBox::ActionRole);
  buttons->addButton(QDialogButtonBox::Close);
  layout->addWidget(buttons);

  connect(add, &QPushButton::clicked, this, &LibraryFoldersDialog::ChooseAndAdd);
  connect(remove, &QPushButton::clicked, this, &LibraryFoldersDialog::RemoveSelected);
  connect(refresh, &QPushButton::clicked, this, [this] {
    status_->setText("Refreshing...");
    upkeep_.RefreshAll();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(automatic_, &QCheckBox::toggled, this, [this](bool on) {
    StoreAutomaticRefresh(on);
    emit automaticRefreshChanged(on);
  });
  connect(&upkeep_, &LibraryUpkeep::finished, this,
          [this](const UpkeepReport& report) { status_->setText(UpkeepReportText(report)); });
  Reload();
}

void LibraryFoldersDialog::Reload() {
  list_->clear();
  if (!database_.LibraryOpen() || !EnsureWatchedFolderTables(database_.Library())) return;
  for (const WatchedFolder& folder : ReadWatchedFolders(database_.Library())) {
    // Item texts are plain: a folder name is shown as it is.
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, QString::fromStdString(folder.Folder));
    item->setText(1, FileNameFormatCaption(folder.Settings.Format));
    item->setText(2, folder.Settings.IgnoreTags ? "ignored" : "read");
  }
}

void LibraryFoldersDialog::ShowReason(const QString& text) {
  QMessageBox box(QMessageBox::Warning, "Library Folders", text, QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool LibraryFoldersDialog::AddFolder(const QString& chosen) {
  WatchedFolder folder;
  folder.Folder = WatchedFolderName(chosen.toStdString());
  folder.Settings.Format = FileNameFormatFrom(layout_->currentIndex());
  folder.Settings.IgnoreTags = ignoreTags_->isChecked();
  if (!database_.LibraryOpen() || !EnsureWatchedFolderTables(database_.Library())) {
    ShowReason("The library cannot be written.");
    return false;
  }
  const auto overlap = OverlappingFolder(ReadWatchedFolders(database_.Library()), folder.Folder);
  if (overlap && *overlap != folder.Folder) {
    ShowReason(QString::fromStdString(folder.Folder) + " overlaps the watched folder " +
               QString::fromStdString(*overlap) + ".");
    return false;
  }
  if (!SaveWatchedFolder(database_, folder)) {
    ShowReason("The folder could not be added: the library is busy or cannot be written.");
    return false;
  }
  Reload();
  status_->setText("Refreshing...");
  upkeep_.RefreshFolders({folder.Folder});
  return true;
}

void LibraryFoldersDialog::ChooseAndAdd() {
  const QString chosen = QFileDialog::getExistingDirectory(this, "Add Library Folder", QString(),
                                                           QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (!chosen.isEmpty()) AddFolder(chosen);
}

void LibraryFoldersDialog::RemoveSelected() {
  QTreeWidgetItem* item = list_->currentItem();
  if (!item) return;
  const std::string folder = item->text(0).toStdString();
  RemoveWatchedFolder(database_, folder);
  upkeep_.Watch().Forget(folder);
  Reload();
  status_->setText("No longer watched; its songs stay in the library.");
}

}  // namespace lyricade
