#pragma once
// The "Singer History" window (modeless, one at a time): the History's
// singers (for one venue or all), the songs of the chosen singer, and the
// commands that queue remembered songs, add a remembered singer to the
// rotation, rename a singer throughout the History, remove entries, assign
// them to a venue and clear the whole History. Every question and message
// goes through Prompts. The window's place and size are recorded in the
// settings at every move and resize and restored when it opens.

#include <QRect>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

namespace lyricade {

class AppSettings;
class HistorySongModel;
class Prompts;
class SingerHistory;
class SingerRotation;

// Where each control sits for a client area; an area smaller than 699 by 458
// is laid out as that size. The song list takes the width minus 206 and the
// height minus 73, the singer list the height minus 203; the buttons under
// the song list keep their distance from the bottom and right edges, the
// controls under the singer list from the bottom edge.
struct HistoryLayout {
  static constexpr int kMinimumWidth = 699;
  static constexpr int kMinimumHeight = 458;

  QRect VenueLabel, VenueBox, SingerLabel, SingerList, FindLabel, FindField;
  QRect AddSingerOnly, EditSingerName, ClearHistory;
  QRect SongList;
  QRect AddSongs, RemoveSongs, RemoveBadSongs, Assign, EditVenues, Close;

  static HistoryLayout For(int clientWidth, int clientHeight);
};

class HistoryWindow : public QWidget {
  Q_OBJECT
public:
  enum class Command {
    RemoveSongs,
    RemoveBadSongs,
    AddSongs,
    AddSingerOnly,
    EditSingerName,
    ClearHistory,
    EditVenues,
    Assign,
    Close,
  };

  // `venueChoice` is the window's venue choice, which outlives the window
  // (an index into its venue box, -1 unset).
  HistoryWindow(SingerHistory& history, SingerRotation& rotation, AppSettings& settings,
                Prompts& prompts, std::string venueFile, int& venueChoice,
                QWidget* parent = nullptr);

  // How "Assign..." asks for a venue (the "Venue Filter Assignment" dialog
  // unless replaced): a venue number, or -1 for none.
  void SetVenueAsker(std::function<int()> ask) { askVenue_ = std::move(ask); }

  // The venue list changed: the venue box is filled again at its first
  // entry, the song list emptied and the singer list refilled.
  void ReloadVenues();

  // The venue the lists are limited to (0: all).
  int ListVenue() const;
  // The singer selected in the singer list (as stored in History), or empty.
  std::string SelectedSinger() const;

  QListWidget* SingerList() const { return singerList_; }
  QTreeView* SongList() const { return songList_; }
  HistorySongModel& Songs() const { return *songModel_; }
  QComboBox* VenueBox() const { return venueBox_; }
  QLineEdit* FindField() const { return findField_; }
  QPushButton* Button(Command command) const { return buttons_.at(command); }

signals:
  // "Edit Venues...": the venue management window is to open.
  void editVenuesRequested();

protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

private:
  QPushButton* AddButton(Command command, const QString& text);
  void Run(Command command);
  void FillSingers(const std::string& select);
  void FillSongs(const std::string& singer);
  // After a change to the History: the singer list again (the remembered
  // singer stays selected when still listed) and that singer's songs.
  void Refill();
  std::vector<int> SelectedSongRows() const;
  std::vector<std::string> SelectedPaths() const;
  bool Confirm(const char* caption, const char* text);
  void Inform(const char* caption, const char* text);
  void FindTyped(const QString& text);
  void SongDoubleClicked(int row);
  void RecordGeometry();

  void RemoveSongs();
  void RemoveBadSongs();
  void AddSongs();
  void AddSingerOnly();
  void EditSingerName();
  void ClearHistory();
  void Assign();

  SingerHistory& history_;
  SingerRotation& rotation_;
  AppSettings& settings_;
  Prompts& prompts_;
  std::string venueFile_;
  int& venueChoice_;
  std::function<int()> askVenue_;

  QLabel* venueLabel_ = nullptr;
  QComboBox* venueBox_ = nullptr;
  QLabel* singerLabel_ = nullptr;
  QListWidget* singerList_ = nullptr;
  QLabel* findLabel_ = nullptr;
  QLineEdit* findField_ = nullptr;
  QTreeView* songList_ = nullptr;
  HistorySongModel* songModel_ = nullptr;
  std::map<Command, QPushButton*> buttons_;
  bool filling_ = false;
};

}  // namespace lyricade
