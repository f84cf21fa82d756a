#pragma once
// "Quillon Mass Unzip and Test": the list of archives ("ZIP File", "Status",
// "Used"), the buttons of the runs and the menus that fill and empty the
// list. A run or a folder scan works on this thread, handling waiting events
// between archives; meanwhile everything that could start another run or
// change the list is disabled and only the "Abort" of its own window works.

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "zipsweep/sweep_run.h"

class QAction;
class QCheckBox;
class QPushButton;
class QTreeWidget;

namespace lyricade {

class ArchiveTester;
class FolderScanWindow;
class ProcessingWindow;
class Prompts;

class SweepWindow : public QMainWindow {
  Q_OBJECT
public:
  // `openLog` opens the log with the desktop's "open" action (a seam for
  // tests); false when nothing could open it.
  SweepWindow(Prompts& prompts, const ArchiveTester& tester, std::string logPath,
              std::function<bool(const std::string&)> openLog, QWidget* parent = nullptr);
  ~SweepWindow() override;

  // The commands of the buttons and menus.
  void AddFile();
  void AddFolder();
  void AddFolderTree(const std::string& folder);
  void AppendArchive(const std::string& path);
  void UnzipAll();
  void TestZips();
  void ShowLog();
  void About();
  void RemoveSelected();
  void RemoveAll();

  bool Running() const { return running_; }
  // The list as the host reads it, row by row.
  struct RowText {
    std::string Path;
    std::string Status;
    std::string Used;
  };
  std::vector<RowText> Rows() const;

  QTreeWidget* List() const { return list_; }
  QCheckBox* DeleteAfterUnzip() const { return deleteAfter_; }
  QPushButton* TestButton() const { return testButton_; }
  QPushButton* UnzipButton() const { return unzipButton_; }
  // The run's or the scan's window while one is up.
  ProcessingWindow* Processing() const { return processing_; }
  FolderScanWindow* Scanning() const { return scanning_; }
  // Every menu entry, for tests.
  const std::vector<QAction*>& Actions() const { return actions_; }

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildMenus();
  QAction* AddAction(QMenu* menu, const char* text, const QKeySequence& key,
                     void (SweepWindow::*command)());
  void Run(SweepMode mode);
  void SetBusy(bool busy);
  void ShowRow(size_t index, const SweepRow& row);

  Prompts& prompts_;
  const ArchiveTester& tester_;
  std::string logPath_;
  std::function<bool(const std::string&)> openLog_;
  QTreeWidget* list_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QPushButton* unzipButton_ = nullptr;
  QPushButton* testButton_ = nullptr;
  QPushButton* logButton_ = nullptr;
  QCheckBox* deleteAfter_ = nullptr;
  std::vector<QAction*> actions_;
  ProcessingWindow* processing_ = nullptr;
  FolderScanWindow* scanning_ = nullptr;
  bool running_ = false;
};

}  // namespace lyricade
