#include "zipsweep/ui/sweep_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

#include "common/path_pieces.h"
#include "platform/prompts/prompts.h"
#include "zipsweep/archive_list.h"
#include "zipsweep/sweep_texts.h"
#include "zipsweep/ui/folder_scan_window.h"
#include "zipsweep/ui/processing_window.h"
#include "zipsweep/zip_log.h"
#include "zipsweep/zipsweep_log.h"

namespace lyricade {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

enum Column { kPathColumn = 0, kStatusColumn = 1, kUsedColumn = 2 };

}  // namespace

SweepWindow::SweepWindow(Prompts& prompts, const ArchiveTester& tester, std::string logPath,
                         std::function<bool(const std::string&)> openLog, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts),
      tester_(tester),
      logPath_(std::move(logPath)),
      openLog_(std::move(openLog)) {
  setWindowTitle("Quillon Mass Unzip and Test");
  auto* central = new QWidget(this);
  setCentralWidget(central);

  list_ = new QTreeWidget(central);
  list_->setGeometry(15, 15, 600, 300);
  list_->setColumnCount(3);
  list_->setHeaderLabels({"ZIP File", "Status", "Used"});
  list_->setColumnWidth(kPathColumn, 300);
  list_->setColumnWidth(kStatusColumn, 150);
  list_->setColumnWidth(kUsedColumn, 150);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);

  const int top = 15 + 300 + 12;
  closeButton_ = new QPushButton("Close", central);
  closeButton_->setGeometry(15, top, 90, 28);
  unzipButton_ = new QPushButton("UNZIP All", central);
  unzipButton_->setGeometry(115, top, 90, 28);
  testButton_ = new QPushButton("Test ZIPs", central);
  testButton_->setGeometry(215, top, 90, 28);
  logButton_ = new QPushButton("Show Log...", central);
  logButton_->setGeometry(315, top, 100, 28);
  deleteAfter_ = new QCheckBox("Delete ZIP after UNZIP", central);
  deleteAfter_->setGeometry(430, top, 185, 28);
  central->setMinimumSize(630, top + 40);

  connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
  connect(unzipButton_, &QPushButton::clicked, this, &SweepWindow::UnzipAll);
  connect(testButton_, &QPushButton::clicked, this, &SweepWindow::TestZips);
  connect(logButton_, &QPushButton::clicked, this, &SweepWindow::ShowLog);
  BuildMenus();
  resize(630, top + 40 + menuBar()->sizeHint().height());
}

SweepWindow::~SweepWindow() = default;

QAction* SweepWindow::AddAction(QMenu* menu, const char* text, const QKeySequence& key,
                                void (SweepWindow::*command)()) {
  QAction* action = menu->addAction(text);
  if (!key.isEmpty()) action->setShortcut(key);
  connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
  actions_.push_back(action);
  return action;
}

void SweepWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("File");
  AddAction(file, "Add File...", QKeySequence("Ctrl+R"), &SweepWindow::AddFile);
  AddAction(file, "Add Folder...", QKeySequence("Ctrl+F"), &SweepWindow::AddFolder);
  QAction* close = file->addAction("Close");
  close->setShortcut(QKeySequence("Ctrl+X"));
  connect(close, &QAction::triggered, this, &QWidget::close);
  actions_.push_back(close);
  QMenu* edit = menuBar()->addMenu("Edit");
  QAction* all = edit->addAction("Select All");
  all->setShortcut(QKeySequence("Ctrl+A"));
  connect(all, &QAction::triggered, list_, &QTreeWidget::selectAll);
  actions_.push_back(all);
  QAction* none = edit->addAction("Select None");
  none->setShortcut(QKeySequence("Ctrl+N"));
  connect(none, &QAction::triggered, list_, &QTreeWidget::clearSelection);
  actions_.push_back(none);
  AddAction(edit, "Remove", QKeySequence(Qt::Key_Delete), &SweepWindow::RemoveSelected);
  AddAction(edit, "Remove All", QKeySequence("Ctrl+Y"), &SweepWindow::RemoveAll);
  QMenu* help = menuBar()->addMenu("Help");
  AddAction(help, "About...", QKeySequence(), &SweepWindow::About);
}

void SweepWindow::AppendArchive(const std::string& path) {
  auto* item = new QTreeWidgetItem(list_);
  item->setText(kPathColumn, Q(path));
  item->setText(kStatusColumn, sweep::kNotTested);
}

void SweepWindow::AddFile() {
  if (running_) return;
  const std::optional<std::string> chosen =
      prompts_.OpenFile("Add File...", {{"ZIP Files (*.zip)", "*.zip"}});
  if (!chosen) return;
  if (!IsRegularFile(*chosen)) {
    qCWarning(lcZipsweep, "the chosen file %s does not exist", chosen->c_str());
    return;
  }
  AppendArchive(*chosen);
}

void SweepWindow::AddFolder() {
  if (running_) return;
  const std::optional<std::string> folder = prompts_.ChooseFolder("Add Folder to Playlist", {});
  if (folder) AddFolderTree(*folder);
}

void SweepWindow::AddFolderTree(const std::string& folder) {
  if (running_) return;
  SetBusy(true);
  FolderScanWindow window(this);
  scanning_ = &window;
  window.show();
  FolderScanHooks hooks;
  hooks.FileFound = [this, &window](const std::string& where, const std::string& name) {
    const std::string path = JoinPath(where, name);
    AppendArchive(path);
    window.SetStatus(path);
  };
  // Events wait until a folder is done, as the walk pumps after each entry.
  hooks.Pump = [] { QCoreApplication::processEvents(); };
  hooks.Aborted = [&window] { return window.Aborted(); };
  hooks.Unreadable = [](const std::string& where, const std::string& error) {
    qCWarning(lcZipsweep, "the folder %s cannot be read: %s", where.c_str(), error.c_str());
  };
  std::vector<std::string> found;
  ScanForArchives(folder, hooks, found);
  scanning_ = nullptr;
  SetBusy(false);
}

void SweepWindow::RemoveSelected() {
  if (running_) return;
  qDeleteAll(list_->selectedItems());
}

void SweepWindow::RemoveAll() {
  if (running_) return;
  list_->clear();
}

void SweepWindow::About() {
  prompts_.Message("About...", "Quillon Mass UNZIP and Test Tool 1.0\n");
}

void SweepWindow::ShowLog() {
  if (!openLog_ || !openLog_(logPath_))
    qCWarning(lcZipsweep, "the log %s could not be opened", logPath_.c_str());
}

void SweepWindow::UnzipAll() { Run(SweepMode::Unzip); }
void SweepWindow::TestZips() { Run(SweepMode::Test); }

void SweepWindow::SetBusy(bool busy) {
  running_ = busy;
  for (QWidget* widget : std::initializer_list<QWidget*>{closeButton_, unzipButton_, testButton_,
                                                        logButton_, deleteAfter_, list_})
    widget->setEnabled(!busy);
  for (QAction* action : actions_) action->setEnabled(!busy);
  menuBar()->setEnabled(!busy);
}

void SweepWindow::ShowRow(size_t index, const SweepRow& row) {
  QTreeWidgetItem* item = list_->topLevelItem(static_cast<int>(index));
  if (!item) return;
  item->setText(kStatusColumn, Q(row.Status));
  item->setText(kUsedColumn, Q(row.Used));
}

void SweepWindow::Run(SweepMode mode) {
  if (running_ || list_->topLevelItemCount() == 0) return;
  std::vector<std::string> paths;
  for (int i = 0; i < list_->topLevelItemCount(); ++i)
    paths.push_back(list_->topLevelItem(i)->text(kPathColumn).toStdString());

  SweepOptions options;
  options.Mode = mode;
  options.DeleteAfterUnzip = mode == SweepMode::Unzip && deleteAfter_->isChecked();
  SetBusy(true);
  ProcessingWindow window(this);
  processing_ = &window;
  window.show();

  SweepHooks hooks;
  hooks.Starting = [&window](size_t index, size_t count) {
    window.SetProgress(static_cast<int>((100 * (index + 1)) / count));
  };
  hooks.Finished = [this](size_t index, const SweepRow& row) { ShowRow(index, row); };
  hooks.Revised = hooks.Finished;
  hooks.Pump = [] { QCoreApplication::processEvents(); };
  hooks.Aborted = [&window] { return window.Aborted(); };
  ZipLog log(logPath_);
  SweepRun(tester_, log, options).Run(paths, hooks);

  processing_ = nullptr;
  window.hide();
  SetBusy(false);
  if (mode == SweepMode::Unzip)
    prompts_.Message("Mass UNZIP", "UNZIP Complete!");
  else
    prompts_.Message("Mass UNZIP Test", "Testing Complete!");
}

void SweepWindow::closeEvent(QCloseEvent* event) {
  // A run or a scan in progress is ended with its "Abort" first.
  if (running_) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

std::vector<SweepWindow::RowText> SweepWindow::Rows() const {
  std::vector<RowText> rows;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list_->topLevelItem(i);
    rows.push_back({item->text(kPathColumn).toStdString(), item->text(kStatusColumn).toStdString(),
                    item->text(kUsedColumn).toStdString()});
  }
  return rows;
}

}  // namespace lyricade
