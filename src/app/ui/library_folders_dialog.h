#pragma once
// "Library Folders...": the watched folders with their file-name layouts,
// "Add..." (with the layout and tag choice chosen below the list),
// "Remove" (the songs stay), "Refresh Now", and whether the library is
// refreshed at start and every few minutes while the program is idle. The
// refresh itself runs in the background (LibraryUpkeep); the dialog only
// shows how the last one went.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidget;

namespace lyricade {

class LibraryDatabase;
class LibraryUpkeep;
struct UpkeepReport;

// The "refresh by itself" choice between runs (QSettings, group "Library"),
// off until the host turns it on.
bool AutomaticRefreshChosen();
void StoreAutomaticRefresh(bool on);

// One line about a refresh for the host ("Added 3 songs, 1 moved, 2
// missing.").
QString UpkeepReportText(const UpkeepReport& report);

class LibraryFoldersDialog : public QDialog {
  Q_OBJECT
public:
  LibraryFoldersDialog(LibraryDatabase& database, LibraryUpkeep& upkeep, QWidget* parent = nullptr);

  // The list read again from the library.
  void Reload();
  // Adds the folder with the layout and tag choice shown (the chooser
  // skipped); false, with the reason shown, when it cannot be watched.
  bool AddFolder(const QString& folder);
  QTreeWidget* List() const { return list_; }

signals:
  void automaticRefreshChanged(bool on);

private:
  void ChooseAndAdd();
  void RemoveSelected();
  void ShowReason(const QString& text);

  LibraryDatabase& database_;
  LibraryUpkeep& upkeep_;
  QTreeWidget* list_ = nullptr;
  QComboBox* layout_ = nullptr;
  QCheckBox* ignoreTags_ = nullptr;
  QCheckBox* automatic_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace lyricade
