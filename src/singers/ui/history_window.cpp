#include "singers/ui/history_window.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMoveEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QTreeView>

#include <algorithm>

#include "common/app_settings.h"
#include "common/field_text.h"
#include "library/sql_quoting.h"
#include "platform/prompts/prompts.h"
#include "singers/singer_history.h"
#include "singers/singer_rotation.h"
#include "singers/ui/history_song_model.h"
#include "singers/ui/venue_windows.h"
#include "singers/venue_list.h"

namespace lyricade {
namespace {

// The stored name of a list entry: the exact bytes read from History.
std::string EntryName(const QListWidgetItem* item) {
  if (!item) return {};
  const QByteArray bytes = item->data(Qt::UserRole).toByteArray();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

HistoryLayout HistoryLayout::For(int clientWidth, int clientHeight) {
  const int w = std::max(clientWidth, kMinimumWidth);
  const int h = std::max(clientHeight, kMinimumHeight);
  constexpr int kMargin = 8;
  constexpr int kLeftWidth = 182;
  constexpr int kRow = 25;
  HistoryLayout layout;
  // Left column: the venue box, the singer list and what is under it.
  layout.VenueLabel = QRect(kMargin, kMargin, kLeftWidth, 18);
  layout.VenueBox = QRect(kMargin, 26, kLeftWidth, kRow + 1);
  layout.SingerLabel = QRect(kMargin, 58, kLeftWidth, 18);
  layout.SingerList = QRect(kMargin, 76, kLeftWidth, h - 203);
  layout.FindLabel = QRect(kMargin, h - 118, 36, kRow);
  layout.FindField = QRect(kMargin + 38, h - 118, kLeftWidth - 38, kRow);
  layout.AddSingerOnly = QRect(kMargin, h - 88, kLeftWidth, kRow);
  layout.EditSingerName = QRect(kMargin, h - 60, kLeftWidth, kRow);
  layout.ClearHistory = QRect(kMargin, h - 32, kLeftWidth, kRow);
  // Right: the song list and two rows of buttons under it, right-aligned.
  layout.SongList = QRect(kMargin + kLeftWidth + kMargin, kMargin, w - 206, h - 73);
  // Two rows of three buttons, right-aligned; at the smallest width they
  // span the song list exactly.
  constexpr int kWide = 170;
  constexpr int kNarrow = 145;
  constexpr int kGap = 4;
  const int column3 = w - kMargin - kNarrow;
  const int column2 = column3 - kGap - kWide;
  const int column1 = column2 - kGap - kWide;
  const int row1 = h - 59;
  const int row2 = h - 32;
  layout.AddSongs = QRect(column1, row1, kWide, kRow);
  layout.RemoveSongs = QRect(column2, row1, kWide, kRow);
  layout.RemoveBadSongs = QRect(column3, row1, kNarrow, kRow);
  layout.Assign = QRect(column1, row2, kWide, kRow);
  layout.EditVenues = QRect(column2, row2, kWide, kRow);
  layout.Close = QRect(column3, row2, kNarrow, kRow);
  return layout;
}

HistoryWindow::HistoryWindow(SingerHistory& history, SingerRotation& rotation, AppSettings& settings,
                             Prompts& prompts, std::string venueFile, int& venueChoice,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      history_(history),
      rotation_(rotation),
      settings_(settings),
      prompts_(prompts),
      venueFile_(std::move(venueFile)),
      venueChoice_(venueChoice) {
  setWindowTitle(QStringLiteral("Singer History"));
  askVenue_ = [this] { return VenueAssignmentDialog::Ask(venueFile_, venueChoice_, this); };

  venueLabel_ = new QLabel(QStringLiteral("Venue Filter:"), this);
  venueBox_ = new QComboBox(this);
  singerLabel_ = new QLabel(QStringLiteral("Singers:"), this);
  singerList_ = new QListWidget(this);
  singerList_->setSelectionMode(QAbstractItemView::SingleSelection);
  findLabel_ = new QLabel(QStringLiteral("Find:"), this);
  for (QLabel* label : {venueLabel_, singerLabel_, findLabel_}) label->setTextFormat(Qt::PlainText);
  findField_ = new QLineEdit(this);

  songModel_ = new HistorySongModel(this);
  songList_ = new QTreeView(this);
  songList_->setModel(songModel_);
  songList_->setRootIsDecorated(false);
  songList_->setItemsExpandable(false);
  songList_->setUniformRowHeights(true);
  songList_->setAllColumnsShowFocus(true);
  songList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  songList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  songList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  songList_->setSortingEnabled(false);
  songList_->header()->setSectionsClickable(true);
  songList_->header()->setStretchLastSection(false);
  songList_->header()->setMinimumSectionSize(0);
  for (int c = 0; c < HistorySongModel::kColumnCount; ++c)
    songList_->setColumnWidth(c, HistorySongModel::kWidths[c]);

  AddButton(Command::RemoveSongs, QStringLiteral("Remove Selected Song(s)..."));
  AddButton(Command::RemoveBadSongs, QStringLiteral("Remove Bad Song(s)..."));
  AddButton(Command::AddSongs, QStringLiteral("Add Selected Song(s)..."));
  AddButton(Command::AddSingerOnly, QStringLiteral("Add The Singer Name Only..."));
  AddButton(Command::EditSingerName, QStringLiteral("Edit Singer Name..."));
  AddButton(Command::ClearHistory, QStringLiteral("Clear Entire History..."));
  AddButton(Command::EditVenues, QStringLiteral("Edit Venues..."));
  AddButton(Command::Assign, QStringLiteral("Assign..."));
  AddButton(Command::Close, QStringLiteral("Close"));

  // The venue box opens at the window's remembered choice.
  FillVenueBox(*venueBox_, venueFile_, kAllVenues, venueChoice_);
  connect(venueBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (filling_) return;
    venueChoice_ = index;
    songModel_->Clear();
    FillSingers({});
  });
  connect(singerList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (filling_ || row < 0) return;
    FillSongs(EntryName(singerList_->item(row)));
  });
  connect(findField_, &QLineEdit::textChanged, this, &HistoryWindow::FindTyped);
  connect(songList_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    history_.SetSortChoice(column + 1);
    FillSongs(SingerHistory::kRememberedSinger);
  });
  connect(songList_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) SongDoubleClicked(index.row());
  });

  FillSingers({});

  // The place and size it last had, also from an earlier run.
  const int width = settings_.HistoryWindowWidth.load();
  const int height = settings_.HistoryWindowHeight.load();
  if (width >= 1 && height >= 1) {
    resize(width, height);
    move(settings_.HistoryWindowLeft.load(), settings_.HistoryWindowTop.load());
  } else {
    resize(HistoryLayout::kMinimumWidth, HistoryLayout::kMinimumHeight);
  }
}

QPushButton* HistoryWindow::AddButton(Command command, const QString& text) {
  auto* button = new QPushButton(text, this);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, command] { Run(command); });
  buttons_[command] = button;
  return button;
}

void HistoryWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const HistoryLayout layout = HistoryLayout::For(width(), height());
  venueLabel_->setGeometry(layout.VenueLabel);
  venueBox_->setGeometry(layout.VenueBox);
  singerLabel_->setGeometry(layout.SingerLabel);
  singerList_->setGeometry(layout.SingerList);
  findLabel_->setGeometry(layout.FindLabel);
  findField_->setGeometry(layout.FindField);
  buttons_[Command::AddSingerOnly]->setGeometry(layout.AddSingerOnly);
  buttons_[Command::EditSingerName]->setGeometry(layout.EditSingerName);
  buttons_[Command::ClearHistory]->setGeometry(layout.ClearHistory);
  songList_->setGeometry(layout.SongList);
  buttons_[Command::AddSongs]->setGeometry(layout.AddSongs);
  buttons_[Command::RemoveSongs]->setGeometry(layout.RemoveSongs);
  buttons_[Command::RemoveBadSongs]->setGeometry(layout.RemoveBadSongs);
  buttons_[Command::Assign]->setGeometry(layout.Assign);
  buttons_[Command::EditVenues]->setGeometry(layout.EditVenues);
  buttons_[Command::Close]->setGeometry(layout.Close);
  RecordGeometry();
}

void HistoryWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  RecordGeometry();
}

void HistoryWindow::RecordGeometry() {
  // Only what the host sees is remembered, not the sizes set up before the
  // window is shown.
  if (!isVisible()) return;
  settings_.HistoryWindowWidth = width();
  settings_.HistoryWindowHeight = height();
  settings_.HistoryWindowLeft = pos().x();
  settings_.HistoryWindowTop = pos().y();
}

int HistoryWindow::ListVenue() const {
  if (venueChoice_ <= 0 || venueChoice_ >= venueBox_->count()) return 0;
  return venueBox_->itemData(venueChoice_).toInt();
}

std::string HistoryWindow::SelectedSinger() const {
  QListWidgetItem* item = singerList_->currentItem();
  if (!item || !item->isSelected()) return {};
  return EntryName(item);
}

void HistoryWindow::ReloadVenues() {
  filling_ = true;
  FillVenueBox(*venueBox_, venueFile_, kAllVenues, 0);
  filling_ = false;
  // The box now shows its first entry, and the lists follow it.
  venueChoice_ = -1;
  songModel_->Clear();
  FillSingers({});
}

void HistoryWindow::FillSingers(const std::string& select) {
  filling_ = true;
  singerList_->clear();
  int selectRow = -1;
  for (const std::string& name : history_.SingerNames(ListVenue())) {
    auto* item = new QListWidgetItem(QString::fromStdString(name));
    item->setData(Qt::UserRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    singerList_->addItem(item);
    if (selectRow < 0 && !select.empty() && name == select) selectRow = singerList_->count() - 1;
  }
  if (selectRow >= 0) singerList_->setCurrentRow(selectRow);
  filling_ = false;
}

void HistoryWindow::FillSongs(const std::string& singer) {
  songModel_->SetRows(history_.SongsOf(singer, ListVenue()));
}

void HistoryWindow::Refill() {
  const std::string remembered = history_.RememberedSinger();
  FillSingers(remembered);
  if (SelectedSinger().empty())
    songModel_->Clear();
  else
    FillSongs(SingerHistory::kRememberedSinger);
}

std::vector<int> HistoryWindow::SelectedSongRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : songList_->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::string> HistoryWindow::SelectedPaths() const {
  std::vector<std::string> paths;
  for (int row : SelectedSongRows())
    if (row < static_cast<int>(songModel_->Rows().size()))
      paths.push_back(songModel_->Rows()[static_cast<size_t>(row)].Path);
  return paths;
}

bool HistoryWindow::Confirm(const char* caption, const char* text) {
  return prompts_.Message(caption, text, PromptButtons::YesNo, PromptIcon::Question) ==
         PromptAnswer::Yes;
}

void HistoryWindow::Inform(const char* caption, const char* text) {
  prompts_.Message(caption, text, PromptButtons::Ok, PromptIcon::Information);
}

void HistoryWindow::FindTyped(const QString& text) {
  if (text.isEmpty()) return;
  for (int row = 0; row < singerList_->count(); ++row) {
    if (singerList_->item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
      singerList_->setCurrentRow(row);
      return;
    }
  }
}

void HistoryWindow::Run(Command command) {
  switch (command) {
    case Command::RemoveSongs: RemoveSongs(); break;
    case Command::RemoveBadSongs: RemoveBadSongs(); break;
    case Command::AddSongs: AddSongs(); break;
    case Command::AddSingerOnly: AddSingerOnly(); break;
    case Command::EditSingerName: EditSingerName(); break;
    case Command::ClearHistory: ClearHistory(); break;
    case Command::EditVenues: emit editVenuesRequested(); break;
    case Command::Assign: Assign(); break;
    case Command::Close: close(); break;
  }
}

void HistoryWindow::RemoveSongs() {
  const std::string singer = SelectedSinger();
  if (singer.empty()) {
    Inform("Remove Selected Song(s)", "Select a singer first, then select your song(s).");
    return;
  }
  if (!Confirm("Remove", "Remove Selected Song(s), Are You Sure?")) return;
  history_.RemoveSongs(singer, SelectedPaths());
  Refill();
}

void HistoryWindow::RemoveBadSongs() {
  const std::string singer = SelectedSinger();
  if (singer.empty()) {
    Inform("Remove Bad Songs", "Select a singer first.");
    return;
  }
  if (!Confirm("Remove Bad Songs", "Remove Bad Song(s), Are You Sure?")) return;
  history_.RemoveBadSongs(singer, ListVenue());
  Refill();
}

void HistoryWindow::AddSongs() {
  const std::string singer = SelectedSinger();
  if (singer.empty()) {
    Inform("Add Selected Song", "Select a singer first, then select the song(s).");
    return;
  }
  if (!Confirm("Add", "Add Selected Song(s), Are You Sure?")) return;
  std::vector<QueuedSong> songs;
  for (int row : SelectedSongRows())
    if (row < static_cast<int>(songModel_->Rows().size()))
      songs.push_back(SingerHistory::ToQueuedSong(songModel_->Rows()[static_cast<size_t>(row)], row));
  rotation_.QueueSongsForName(singer, songs);
}

void HistoryWindow::SongDoubleClicked(int row) {
  const std::string singer = SelectedSinger();
  if (singer.empty() || row < 0 || row >= static_cast<int>(songModel_->Rows().size())) return;
  if (!Confirm("Add", "Add Selected Song(s), Are You Sure?")) return;
  rotation_.QueueSongsForName(
      singer, {SingerHistory::ToQueuedSong(songModel_->Rows()[static_cast<size_t>(row)], row)});
}

void HistoryWindow::AddSingerOnly() {
  const std::string singer = SelectedSinger();
  if (singer.empty()) {
    Inform("Add Singer", "Select a singer first.");
    return;
  }
  if (!Confirm("Add", "Add Singer, Are You Sure?")) return;
  if (rotation_.FindSingerExactly(singer) < 0) rotation_.AppendSinger(singer);
}

void HistoryWindow::EditSingerName() {
  const std::string singer = SelectedSinger();
  if (singer.empty()) {
    Inform("Change Singer Name", "Select a singer first.");
    return;
  }
  // The old name stands in the field, ready to be changed.
  const auto name = prompts_.Input("Change Singer Name", "Singer Name:", singer, 99);
  std::string select = singer;
  // An empty name changes nothing, like Cancel.
  if (name && !name->empty() && history_.RenameSinger(singer, *name))
    select = AccentApostrophes(FieldText(*name, 100));
  FillSingers(select);
  if (SelectedSinger().empty())
    songModel_->Clear();
  else
    FillSongs(select);
}

void HistoryWindow::ClearHistory() {
  if (!Confirm("Clear History", "Are you sure, this will CLEAR the entire History?")) return;
  if (!Confirm("Clear History",
               "This may take a bit of time and you must be patient,\nit will appear like it is "
               "frozen for a small while\nand you must be sure you want to do this...\n\nAre You "
               "Sure?"))
    return;
  if (!Confirm("Clear History", "This is irreversable, Are You Sure?")) return;
  history_.ClearAll();
  filling_ = true;
  singerList_->clear();
  filling_ = false;
  songModel_->Clear();
  Inform("Clear Completed", "Clear History Completed");
}

void HistoryWindow::Assign() {
  const std::string singer = SelectedSinger();
  if (singer.empty()) {
    Inform("Assign Venue", "Select a singer, then select the songs to assign a venue.");
    return;
  }
  if (!Confirm("Assign Venue", "Assign Venue Filter to Song(s), Are You Sure?")) return;
  const std::vector<std::string> paths = SelectedPaths();
  const int venue = askVenue_ ? askVenue_() : -1;
  if (venue < 0) return;
  history_.AssignVenue(singer, paths, venue);
  Refill();
}

}  // namespace lyricade
