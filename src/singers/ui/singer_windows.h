#pragma once
// The singers' windows as the main window uses them: the singer panel to
// embed, the "Add Song" queueing of library and catalogue rows, the "Singer
// History" and "Venue Filter Management" windows (modeless, one of each at a
// time), the "Venue Filter Assignment" dialog and the main window's "Assign
// Venue:" box. It keeps what outlives the windows: the venue list with the
// highest number given this run and the History window's venue choice.

#include <QObject>
#include <QPointer>

#include <string>
#include <vector>

#include "singers/queued_song.h"
#include "singers/venue_list.h"

class QComboBox;
class QWidget;

namespace lyricade {

class AppSettings;
class HistoryWindow;
class LibraryListModel;
class Prompts;
class RotationHost;
class SingerHistory;
class SingerPanel;
class VenueManagementWindow;

class SingerWindows : public QObject {
  Q_OBJECT
public:
  // `dataFolder` ends with "/"; "venuelist.cfg" lives there. The History's
  // new rows take the venue of the "Assign Venue:" box from now on.
  SingerWindows(RotationHost& show, SingerHistory& history, AppSettings& settings, Prompts& prompts,
                std::string dataFolder, QWidget* mainWindow);
  ~SingerWindows() override;

  // The main window's "Assign Venue:" box: filled now ("No Venue" first) and
  // again after every change of the venue list.
  void SetAssignVenueBox(QComboBox* box);
  // The venue of new History rows: the box's selected entry, 0 without one.
  int AssignVenue() const;
  // The History singer names for the "..." menus (the "Assign Venue:" venue).
  std::vector<std::string> HistoryNames() const;

  // The singer list and playlist with their buttons, for the main window.
  SingerPanel* CreateSingerPanel(QWidget* parent);

  // A library row or a catalogue row through "Add Song" into the rotation.
  bool QueueLibraryRow(const LibraryListModel& model, long row);
  bool QueueCatalogueSong(const std::string& title, const std::string& artist, const std::string& id,
                          const std::string& streamAddress, long row);
  bool QueueSong(const QueuedSong& song);

  // "Singer History": opens the window, or shows the open one again.
  HistoryWindow* OpenHistoryWindow();
  // "Edit Venues...": opens the management window; does nothing while open.
  VenueManagementWindow* OpenVenueManagement();
  // The "Venue Filter Assignment" dialog: a venue number or -1.
  int AskVenue(QWidget* parent);

  HistoryWindow* History() const { return historyWindow_; }
  VenueManagementWindow* VenueManagement() const { return venueWindow_; }
  int HistoryVenueChoice() const { return historyVenueChoice_; }
  std::string VenueFile() const { return dataFolder_ + "venuelist.cfg"; }

private:
  // The venue list was saved: both boxes are filled again at "No Venue" /
  // "All Venues".
  void VenuesSaved();

  RotationHost& show_;
  SingerHistory& history_;
  AppSettings& settings_;
  Prompts& prompts_;
  std::string dataFolder_;
  QPointer<QWidget> mainWindow_;
  VenueList venues_;
  int historyVenueChoice_ = -1;
  QPointer<QComboBox> assignVenueBox_;
  QPointer<HistoryWindow> historyWindow_;
  QPointer<VenueManagementWindow> venueWindow_;
};

}  // namespace lyricade
