#include "singers/ui/singer_windows.h"

#include <QComboBox>
#include <QWidget>

#include "singers/singer_rotation.h"
#include "singers/rotation_host.h"
#include "library/library_list_model.h"
#include "singers/singer_history.h"
#include "singers/ui/history_window.h"
#include "singers/ui/singer_panel.h"
#include "singers/ui/song_queueing.h"
#include "singers/ui/venue_windows.h"

namespace lyricade {

SingerWindows::SingerWindows(RotationHost& show, SingerHistory& history, AppSettings& settings,
                             Prompts& prompts, std::string dataFolder, QWidget* mainWindow)
    : QObject(mainWindow),
      show_(show),
      history_(history),
      settings_(settings),
      prompts_(prompts),
      dataFolder_(std::move(dataFolder)),
      mainWindow_(mainWindow),
      venues_(dataFolder_ + "venuelist.cfg") {
  history_.SetCurrentVenue([this] { return AssignVenue(); });
}

SingerWindows::~SingerWindows() {
  history_.SetCurrentVenue({});
  // The windows refer to this object's state; they go with it.
  delete historyWindow_.data();
  delete venueWindow_.data();
}

void SingerWindows::SetAssignVenueBox(QComboBox* box) {
  assignVenueBox_ = box;
  if (box) FillVenueBox(*box, VenueFile(), kNoVenue, historyVenueChoice_);
}

int SingerWindows::AssignVenue() const {
  return assignVenueBox_ ? SelectedVenue(*assignVenueBox_) : 0;
}

std::vector<std::string> SingerWindows::HistoryNames() const {
  return history_.SingerNames(AssignVenue());
}

SingerPanel* SingerWindows::CreateSingerPanel(QWidget* parent) {
  return new SingerPanel(show_, prompts_, [this] { return HistoryNames(); }, parent);
}

bool SingerWindows::QueueSong(const QueuedSong& song) {
  return QueueThroughAddSong(show_.Rotation(), song, prompts_, [this] { return HistoryNames(); },
                             mainWindow_);
}

bool SingerWindows::QueueLibraryRow(const LibraryListModel& model, long row) {
  if (row < 0 || row >= static_cast<long>(model.RowCount())) return false;
  return QueueSong(SongFromLibraryRow(model, row));
}

bool SingerWindows::QueueCatalogueSong(const std::string& title, const std::string& artist,
                                       const std::string& id, const std::string& streamAddress,
                                       long row) {
  return QueueSong(SongFromCatalogueRow(title, artist, id, streamAddress, row));
}

HistoryWindow* SingerWindows::OpenHistoryWindow() {
  if (historyWindow_) {
    historyWindow_->showNormal();
    historyWindow_->raise();
    historyWindow_->activateWindow();
    return historyWindow_;
  }
  auto* window = new HistoryWindow(history_, show_.Rotation(), settings_, prompts_, VenueFile(),
                                   historyVenueChoice_, mainWindow_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->SetVenueAsker([this, window] { return AskVenue(window); });
  connect(window, &HistoryWindow::editVenuesRequested, this, [this] { OpenVenueManagement(); });
  historyWindow_ = window;
  window->show();
  return window;
}

VenueManagementWindow* SingerWindows::OpenVenueManagement() {
  if (venueWindow_) return venueWindow_;
  auto* window = new VenueManagementWindow(venues_, prompts_, historyVenueChoice_, mainWindow_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &VenueManagementWindow::venuesSaved, this, &SingerWindows::VenuesSaved);
  venueWindow_ = window;
  window->show();
  return window;
}

int SingerWindows::AskVenue(QWidget* parent) {
  return VenueAssignmentDialog::Ask(VenueFile(), historyVenueChoice_, parent);
}

void SingerWindows::VenuesSaved() {
  if (historyWindow_) historyWindow_->ReloadVenues();
  if (assignVenueBox_) FillVenueBox(*assignVenueBox_, VenueFile(), kNoVenue, 0);
}

}  // namespace lyricade
