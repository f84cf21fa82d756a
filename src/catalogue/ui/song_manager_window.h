#pragma once
// "Song Manager": the vendor's catalogue as a list with its search, and the
// store's commands. The window owns no store behaviour: each button routes
// to the Store, the list to the catalogue list controller; previews play in
// a graph of their own. Modeless and made once.

#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "catalogue/catalogue_preview.h"
#include "store/store.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace lyricade {

class AppSettings;
class CatalogueListController;
class CatalogueListModel;
class Prompts;

struct SongManagerParts {
  Store* store = nullptr;
  CatalogueListModel* model = nullptr;
  CatalogueListController* controller = nullptr;
  AppSettings* settings = nullptr;
  Prompts* prompts = nullptr;
  // "Add Stream...": the song is queued for a singer under `path` through
  // the rotation's "Add Song".
  std::function<void(const CatalogueSong& song, const std::string& path, long row)> queueStream;
  // The output folder changed: the preferences are written.
  std::function<void()> settingsChanged;
};

class SongManagerWindow : public QWidget {
  Q_OBJECT
public:
  static constexpr const char* kCaption = "Song Manager";
  static constexpr const char* kNoGiftPack = "<No Gift Pack>";
  static constexpr const char* kCommands[] = {
      "Buy/Claim Song...",  "Add Stream...",           "Preview Song...",   "Sign in/Create...",
      "1 Day",              "1 Month",                 "Add Gift Pack...",  "Remove Gift Pack...",
      "My Downloads...",    "Credit Card Details...",  "Update Listings...", "Privacy Policy...",
      "Change Output Folder..."};

  explicit SongManagerWindow(SongManagerParts parts, QWidget* parent = nullptr);

  // Opening: the customer details and gift packs, the output folder, and the
  // list load; then the window is shown and raised.
  void Open();

  QPushButton* Command(const QString& text) const;
  QPushButton* StopPreviewButton() const { return stopPreview_; }
  QPushButton* SearchButton() const { return search_; }
  QPushButton* ShowAllButton() const { return showAll_; }
  QLineEdit* SearchBox() const { return searchBox_; }
  QCheckBox* StreamsOnlyBox() const { return streamsOnly_; }
  QComboBox* GiftPackBox() const { return giftPacks_; }
  QLabel* AmountLabel() const { return amount_; }
  QLabel* StatusLabel() const { return status_; }
  QLabel* OutputFolderLabel() const { return outputFolder_; }
  QTreeView* List() const { return list_; }
  CataloguePreview& Preview() { return preview_; }

  // The selected row's song; nullopt without a selection.
  std::optional<CatalogueSong> SelectedSong() const;
  long SelectedRow() const;

  // The commands, as the buttons run them.
  void BuyOrClaim();
  void AddStream();
  void StartPreview();
  void StopPreview();
  void AddGiftPack();
  void RemoveGiftPack();
  void EditDetails();
  void ChangeOutputFolder();
  // The store is talking to the service: its commands wait.
  void SetStoreBusy(bool busy);

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  QPushButton* AddCommand(const char* text);
  void FillGiftPacks();
  void GiftPackChosen(int index);
  void RefreshAccount();
  void SetListButtonsEnabled(bool enabled);

  SongManagerParts parts_;
  CataloguePreview preview_;
  std::map<QString, QPushButton*> commands_;
  QPushButton* stopPreview_ = nullptr;
  QPushButton* search_ = nullptr;
  QPushButton* showAll_ = nullptr;
  QLineEdit* searchBox_ = nullptr;
  QCheckBox* streamsOnly_ = nullptr;
  QComboBox* giftPacks_ = nullptr;
  QLabel* amount_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* account_ = nullptr;
  QLabel* subscription_ = nullptr;
  QLabel* outputFolder_ = nullptr;
  QTreeView* list_ = nullptr;
  bool fillingPacks_ = false;
};

}  // namespace lyricade
