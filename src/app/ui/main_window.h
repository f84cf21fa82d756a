#pragma once
// The host's main window: the singer panel and playlist, the library list
// with its search controls, the transport (play, pause, stop, volume, key,
// channel), the now-up labels, the time text and progress bar, and the
// preview of the singers' screen. It owns no behaviour: every control is
// routed to the host controller (Show) or to the library list controller.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <string>

#include "app/ui/karaoke_bar.h"
#include "app/ui/skin.h"

class QAction;
class QCheckBox;
class QTimer;
class QMenu;
class QVBoxLayout;

namespace lyricade {

class AppSettings;
class LibraryListController;
class LibraryListModel;
class LibraryListView;
class PreviewSurface;
class Prompts;
class Show;

struct MainWindowParts {
  Show* show = nullptr;
  AppSettings* settings = nullptr;
  Prompts* prompts = nullptr;
  LibraryListModel* libraryModel = nullptr;
  LibraryListController* libraryController = nullptr;
  // The preview of the singers' screen; none without a screen.
  PreviewSurface* preview = nullptr;
  std::string dataFolder;
  std::string programFolder;
};

class MainWindow : public QWidget {
  Q_OBJECT

public:
  static constexpr const char* kCaption = "Quillon Lyricade(TM) 2.08A";
  // The search-field entries, "Match All" last.
  static const char* const kSearchFields[7];

  explicit MainWindow(MainWindowParts parts, QWidget* parent = nullptr);
  // The background loudness pass's progress in the status area; empty hides
  // nothing but says nothing.
  void SetMeasuringStatus(const std::string& text);
  // The warning above the library while writes into the data folder fail;
  // empty hides it. Non-modal: the show goes on.
  void SetSaveWarning(const std::string& text);
  QLabel* SaveWarning() const { return saveWarning_; }

  // Preferences: what the controls show after the file is read, and what is
  // written back at close.
  void ApplySettingsToControls();
  void StoreControlsInSettings();
  // The geometry record: left, top, width, height and maximised, kept on
  // every move and resize unless minimised or maximised.
  void RecordGeometry();
  // Places the window from the record (maximised, or at its rectangle when
  // width and height are above 0).
  void RestoreGeometry();

  LibraryListView* LibraryView() const { return libraryView_; }
  // The library's "Edit" menu entry of that text (null if none); entries are
  // greyed out until the program connects them and enables them.
  QAction* EditMenuAction(const QString& text) const;
  QPushButton* AddFolderButton() const { return addFolder_; }
  // Ctrl+Z play (while Play is enabled), Ctrl+X pause or resume, Ctrl+C
  // stop, Ctrl+A announce, Ctrl+S next singer; false for any other key.
  bool RunAccelerator(int key, Qt::KeyboardModifiers modifiers);
  QLineEdit* SearchBox() const { return searchBox_; }
  QCheckBox* SearchAsYouTypeBox() const { return searchAsYouType_; }
  // The search runs this long after the last key press in the search box
  // while "Search as you type" is on.
  static constexpr int kTypingPauseMs = 150;
  // Where the option is kept: not in the fixed preferences file.
  static constexpr const char* kSearchAsYouTypeKey = "Options/SearchAsYouType";
  QComboBox* VenueBox() const { return venueBox_; }
  // "Enable" (backgrounds): the host's click starts or stops the background
  // video; setting it from elsewhere only shows the setting.
  QCheckBox* EnableBackgroundsBox() const { return enableBackgrounds_; }
  QPushButton* BackgroundsButton() const { return backgrounds_; }
  QPushButton* PlayButton() const { return play_; }
  QPushButton* PauseButton() const { return pause_; }
  QLabel* TimeLabel() const { return timeText_; }
  KaraokeBar* ProgressBar() const { return progress_; }
  KaraokeBar* VolumeBar() const { return volumeBar_; }
  // Puts the singer list and playlist with their buttons above the library.
  void SetSingerPanel(QWidget* panel);
  // The "Requests" list of the requests waiting for the KJ.
  void SetRequestsPanel(QWidget* panel);

  // Called before the window closes: the exit questions and the saves. The
  // window only closes when this returns true.
  void SetCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }

signals:
  // A library row is to be queued for a singer ("Add Song" dialog).
  void queueLibraryRow(long row);
  void singerHistoryRequested();
  void optionsRequested();
  void backgroundOptionsRequested();
  // "Music Ambients" and "Quick Effects".
  void ambientsRequested();
  void quickEffectsRequested();
  // "Song Manager..." (and the Edit menu's "Songs Manager..."): the vendor's
  // catalogue and the store.
  void songManagerRequested();
  // A setting the preferences keep was changed here (search options, the
  // backgrounds box).
  void settingsEdited();

protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  QWidget* BuildTransport();
  QWidget* BuildLibraryArea();
  QPushButton* Button(const QString& text, const QString& tip = {});
  QPushButton* Disabled(const QString& text, const QString& tip);
  void Refresh();
  void RefreshTransport();
  void OpenHelp();
  void AddSelectedLibrarySong();

  MainWindowParts parts_;
  Skin skin_;
  std::function<bool()> closeHandler_;
  bool geometryRestored_ = false;

  QLabel* songTitle_ = nullptr;
  QLabel* singerName_ = nullptr;
  QLabel* timeText_ = nullptr;
  QLabel* volumeText_ = nullptr;
  QLabel* keyLabel_ = nullptr;
  QLabel* channelLabel_ = nullptr;
  QLabel* tempoLabel_ = nullptr;
  std::vector<QPushButton*> channelButtons_;
  QLabel* levelLabel_ = nullptr;
  QLabel* measuring_ = nullptr;
  QLabel* status_ = nullptr;
  // What the show skipped, until the next song.
  QLabel* hostNote_ = nullptr;
  QLabel* saveWarning_ = nullptr;
  KaraokeBar* progress_ = nullptr;
  KaraokeBar* volumeBar_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* pause_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* search_ = nullptr;
  QPushButton* showAll_ = nullptr;
  QLineEdit* searchBox_ = nullptr;
  QComboBox* searchField_ = nullptr;
  QRadioButton* matchAll_ = nullptr;
  QRadioButton* matchAny_ = nullptr;
  QCheckBox* searchAsYouType_ = nullptr;
  QTimer* typingPause_ = nullptr;
  QComboBox* venueBox_ = nullptr;
  QCheckBox* enableBackgrounds_ = nullptr;
  QPushButton* backgrounds_ = nullptr;
  LibraryListView* libraryView_ = nullptr;
  QPushButton* addFolder_ = nullptr;
  QVBoxLayout* leftColumn_ = nullptr;
  QMenu* editMenu_ = nullptr;
};

}  // namespace lyricade
