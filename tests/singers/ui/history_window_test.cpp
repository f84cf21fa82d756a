// The "Singer History" window's commands against a seeded database with
// scripted answers, its layout and remembered place, and the venue windows
// and boxes through the singers' window keeper.
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>

#include <fstream>

#include "library/library_fixture.h"
#include "singers/singer_history.h"
#include "singers/ui/history_song_model.h"
#include "singers/ui/history_window.h"
#include "singers/ui/singer_windows.h"
#include "singers/ui/venue_windows.h"
#include "singers/venue_list.h"
#include "singers_ui_support.h"

namespace lyricade {
namespace {

using Command = HistoryWindow::Command;

const std::string kAccented = "O\xC2\xB4" "Brien";

QueuedSong Sung(const std::string& title, const std::string& path, int key, int multiplex) {
  QueuedSong song;
  song.Title = title;
  song.Artist = "Artist";
  song.Id = "ID";
  song.Path = path;
  song.Key = key;
  song.Multiplex = multiplex;
  return song;
}

class HistoryWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(library.Open());
    present = library.folder.File("present.mp3");
    std::ofstream(present) << "audio";
    history.RecordStartedSong(Sung("Bravo", present, 2, 1), "Ana");
    history.RecordStartedSong(Sung("Alpha", "/nowhere/alpha.mp3", 0, 0), "Ana");
    history.RecordStartedSong(Sung("Charlie", "http://AccountID=1&SongID=2", -1, 2), "Ana");
    history.SetCurrentVenue([] { return 3; });
    history.RecordStartedSong(Sung("Delta", "/nowhere/delta.mp3", 0, 0), "Ben");
    history.SetCurrentVenue({});
    history.RecordStartedSong(Sung("Don't", "/nowhere/it's.mp3", 1, 0), "O'Brien");
    ASSERT_TRUE(VenueList::Write(venueFile, {{"Rusty Anchor", 3}, {"Blue Room", 7}}));
    window = std::make_unique<HistoryWindow>(history, rotation, settings, prompts, venueFile,
                                             venueChoice);
  }
  std::vector<std::string> Singers() const {
    std::vector<std::string> names;
    for (int i = 0; i < window->SingerList()->count(); ++i)
      names.push_back(window->SingerList()->item(i)->text().toStdString());
    return names;
  }
  void SelectSinger(const std::string& name) {
    const auto names = Singers();
    const auto found = std::find(names.begin(), names.end(), name);
    ASSERT_NE(found, names.end()) << name;
    window->SingerList()->setCurrentRow(static_cast<int>(found - names.begin()));
  }
  void SelectSongs(std::initializer_list<int> rows) {
    QItemSelectionModel* selection = window->SongList()->selectionModel();
    selection->clear();
    for (int row : rows)
      selection->select(window->SongList()->model()->index(row, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const HistoryRow& row : window->Songs().Rows()) titles.push_back(row.Title);
    return titles;
  }
  void Click(Command command) { window->Button(command)->click(); }
  const ShownPrompt& LastPrompt() const { return prompts.Shown().back(); }

  testing::LibraryFolder library;
  SingerHistory history{library.database};
  SingerRotation rotation;
  AppSettings settings;
  ScriptedPrompts prompts;
  std::string venueFile = library.folder.File("venuelist.cfg");
  int venueChoice = -1;
  std::string present;
  std::unique_ptr<HistoryWindow> window;
};

TEST_F(HistoryWindowTest, CommandsWithoutASingerSayWhatIsMissing) {
  EXPECT_EQ(Singers(), (std::vector<std::string>{"Ana", "Ben", kAccented}));
  const std::vector<std::tuple<Command, std::string, std::string>> refusals = {
      {Command::RemoveSongs, "Remove Selected Song(s)", "Select a singer first, then select your song(s)."},
      {Command::RemoveBadSongs, "Remove Bad Songs", "Select a singer first."},
      {Command::AddSongs, "Add Selected Song", "Select a singer first, then select the song(s)."},
      {Command::AddSingerOnly, "Add Singer", "Select a singer first."},
      {Command::EditSingerName, "Change Singer Name", "Select a singer first."},
      {Command::Assign, "Assign Venue", "Select a singer, then select the songs to assign a venue."},
  };
  for (const auto& [command, caption, text] : refusals) {
    prompts.ClearShown();
    Click(command);
    ASSERT_EQ(prompts.Shown().size(), 1u) << caption;
    EXPECT_EQ(LastPrompt().Caption, caption);
    EXPECT_EQ(LastPrompt().Text, text);
    EXPECT_EQ(LastPrompt().Icon, PromptIcon::Information);
  }
  // A double click on a song without a singer does nothing at all.
  prompts.ClearShown();
  emit window->SongList()->doubleClicked(window->SongList()->model()->index(0, 0));
  EXPECT_TRUE(prompts.Shown().empty());
  EXPECT_TRUE(rotation.Empty());
}

TEST_F(HistoryWindowTest, FindSortRedRowsAndQueueing) {
  // "Find:" picks the first singer beginning with the text, any case; a
  // name stored with the accent lists and selects like any other.
  window->FindField()->setText("o");
  EXPECT_EQ(window->SelectedSinger(), kAccented);
  EXPECT_EQ(Titles(), std::vector<std::string>{"Don\xC2\xB4t"});
  EXPECT_EQ(window->Songs().CellText(0, 7), "/nowhere/it's.mp3");
  window->FindField()->setText("AN");
  EXPECT_EQ(window->SelectedSinger(), "Ana");
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
  // Cells and the red rows of missing files (a stream address included).
  const HistorySongModel& songs = window->Songs();
  EXPECT_EQ(songs.CellText(1, 0), "2");
  EXPECT_EQ(songs.CellText(1, 1), "L");
  EXPECT_EQ(songs.CellText(0, 0), "Norm");
  EXPECT_EQ(songs.CellText(2, 1), "R");
  EXPECT_EQ(songs.CellText(1, 6), "1");
  EXPECT_EQ(songs.headerData(6, Qt::Horizontal).toString(), "Count");
  EXPECT_TRUE(songs.RowIsRed(0));
  EXPECT_FALSE(songs.RowIsRed(1));
  EXPECT_TRUE(songs.RowIsRed(2));
  EXPECT_EQ(window->SongList()->header()->sectionSize(0), 65);

  // Header clicks sort by that column (choice = column + 1).
  emit window->SongList()->header()->sectionClicked(0);
  EXPECT_EQ(history.SortChoice(), 1);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Charlie", "Alpha", "Bravo"}));
  emit window->SongList()->header()->sectionClicked(2);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));

  // "Add Selected Song(s)...": No queues nothing; Yes queues the selected
  // rows in list order with their settings and counts.
  SelectSongs({2, 1});
  Click(Command::AddSongs);
  EXPECT_EQ(LastPrompt().Caption, "Add");
  EXPECT_EQ(LastPrompt().Text, "Add Selected Song(s), Are You Sure?");
  EXPECT_EQ(LastPrompt().Icon, PromptIcon::Question);
  EXPECT_TRUE(rotation.Empty());
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::AddSongs);
  ASSERT_EQ(rotation.Count(), 1);
  const auto& playlist = rotation.Singers()[0].Playlist;
  ASSERT_EQ(playlist.size(), 2u);
  EXPECT_EQ(playlist[0].Title, "Bravo");
  EXPECT_EQ(playlist[0].Key, 2);
  EXPECT_EQ(playlist[0].Multiplex, 1);
  EXPECT_EQ(playlist[0].Year, "1");
  EXPECT_EQ(playlist[0].SourceRow, 1);
  EXPECT_EQ(playlist[1].Multiplex, 2);
  // A double-clicked row goes to the same singer.
  prompts.QueueAnswer(PromptAnswer::Yes);
  emit window->SongList()->doubleClicked(window->SongList()->model()->index(0, 0));
  EXPECT_EQ(rotation.Singers()[0].Playlist.size(), 3u);
  EXPECT_EQ(rotation.Singers()[0].Playlist[2].Title, "Alpha");

  // "Add The Singer Name Only...": only when no singer has the exact name.
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::AddSingerOnly);
  EXPECT_EQ(LastPrompt().Text, "Add Singer, Are You Sure?");
  EXPECT_EQ(rotation.Count(), 1);
  SelectSinger("Ben");
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::AddSingerOnly);
  ASSERT_EQ(rotation.Count(), 2);
  EXPECT_EQ(rotation.Singers()[1].Name, "Ben");
  EXPECT_TRUE(rotation.Singers()[1].Playlist.empty());
}

TEST_F(HistoryWindowTest, RemovingRenamingAndClearing) {
  SelectSinger("Ana");
  SelectSongs({1});
  Click(Command::RemoveSongs);  // "No"
  EXPECT_EQ(LastPrompt().Caption, "Remove");
  EXPECT_EQ(LastPrompt().Text, "Remove Selected Song(s), Are You Sure?");
  EXPECT_EQ(Titles().size(), 3u);
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::RemoveSongs);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "Charlie"}));
  EXPECT_EQ(window->SelectedSinger(), "Ana");

  // Bad songs: every listed row whose file is missing, selected or not.
  history.RecordStartedSong(Sung("Echo", present, 0, 0), "Ana");
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::RemoveBadSongs);
  EXPECT_EQ(LastPrompt().Caption, "Remove Bad Songs");
  EXPECT_EQ(LastPrompt().Text, "Remove Bad Song(s), Are You Sure?");
  EXPECT_EQ(Titles(), std::vector<std::string>{"Echo"});

  // Renaming: the input box shows the old name; Cancel and an empty name
  // change nothing; a new name with an apostrophe is stored accented and
  // stays selected.
  prompts.QueueInput(std::nullopt);
  Click(Command::EditSingerName);
  EXPECT_EQ(LastPrompt().Kind, PromptKind::Input);
  EXPECT_EQ(LastPrompt().Caption, "Change Singer Name");
  EXPECT_EQ(LastPrompt().Initial, "Ana");
  EXPECT_EQ(LastPrompt().MaxLength, 99);
  prompts.QueueInput(std::string());
  Click(Command::EditSingerName);
  EXPECT_EQ(Singers(), (std::vector<std::string>{"Ana", "Ben", kAccented}));
  prompts.QueueInput(std::string("Ana O'Day"));
  Click(Command::EditSingerName);
  EXPECT_EQ(window->SelectedSinger(), "Ana O\xC2\xB4" "Day");
  EXPECT_EQ(Titles(), std::vector<std::string>{"Echo"});
  EXPECT_EQ(history.SingerNames(0).front(), "Ana O\xC2\xB4" "Day");

  // Clearing asks three times; any "No" stops.
  prompts.ClearShown();
  prompts.QueueAnswer(PromptAnswer::Yes);
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::ClearHistory);
  ASSERT_EQ(prompts.Shown().size(), 3u);
  EXPECT_EQ(prompts.Shown()[1].Text,
            "This may take a bit of time and you must be patient,\nit will appear like it is frozen "
            "for a small while\nand you must be sure you want to do this...\n\nAre You Sure?");
  EXPECT_EQ(LastPrompt().Text, "This is irreversable, Are You Sure?");
  EXPECT_EQ(history.SingerNames(0).size(), 3u);
  prompts.ClearShown();
  for (int i = 0; i < 3; ++i) prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::ClearHistory);
  ASSERT_EQ(prompts.Shown().size(), 4u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "Clear History");
  EXPECT_EQ(prompts.Shown()[0].Text, "Are you sure, this will CLEAR the entire History?");
  EXPECT_EQ(LastPrompt().Caption, "Clear Completed");
  EXPECT_EQ(LastPrompt().Text, "Clear History Completed");
  EXPECT_TRUE(history.SingerNames(0).empty());
  EXPECT_EQ(window->SingerList()->count(), 0);
  EXPECT_EQ(window->Songs().rowCount(), 0);
}

TEST_F(HistoryWindowTest, VenueBoxAndAssigningVenues) {
  QComboBox* box = window->VenueBox();
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->itemText(0), "All Venues");
  EXPECT_EQ(box->itemData(2).toInt(), 7);
  box->setCurrentIndex(1);  // Rusty Anchor (3): only Ben sang there
  EXPECT_EQ(venueChoice, 1);
  EXPECT_EQ(Singers(), std::vector<std::string>{"Ben"});
  box->setCurrentIndex(0);
  SelectSinger("Ana");
  SelectSongs({0, 1});

  int asked = 0;
  window->SetVenueAsker([&asked] { return ++asked, -1; });  // closed without a choice
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::Assign);
  EXPECT_EQ(LastPrompt().Caption, "Assign Venue");
  EXPECT_EQ(LastPrompt().Text, "Assign Venue Filter to Song(s), Are You Sure?");
  EXPECT_EQ(asked, 1);
  window->SetVenueAsker([] { return 7; });
  SelectSongs({0, 1});
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::Assign);
  box->setCurrentIndex(2);  // Blue Room: Ana with the two songs
  EXPECT_EQ(Singers(), std::vector<std::string>{"Ana"});
  EXPECT_EQ(window->Songs().rowCount(), 0);  // a new venue empties the songs
  SelectSinger("Ana");
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "Bravo"}));
  // Remove Bad Song(s) with a venue chosen touches only the listed rows.
  prompts.QueueAnswer(PromptAnswer::Yes);
  Click(Command::RemoveBadSongs);
  EXPECT_EQ(Titles(), std::vector<std::string>{"Bravo"});
  box->setCurrentIndex(0);
  SelectSinger("Ana");
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Bravo", "Charlie"}));
}

TEST(HistoryLayoutRule, SmallAreasLayOutAsTheMinimum) {
  const HistoryLayout small = HistoryLayout::For(500, 300);
  EXPECT_EQ(small.SongList.size(), QSize(493, 385));
  EXPECT_EQ(small.SingerList.height(), 255);
  const HistoryLayout large = HistoryLayout::For(1000, 700);
  EXPECT_EQ(large.SongList, QRect(198, 8, 794, 627));
  EXPECT_EQ(large.SingerList.height(), 497);
  // The buttons keep their distances from the bottom and right edges, the
  // controls under the singer list from the bottom edge.
  EXPECT_EQ(1000 - large.Close.right(), 699 - HistoryLayout::For(699, 458).Close.right());
  EXPECT_EQ(700 - large.Close.bottom(), 458 - HistoryLayout::For(699, 458).Close.bottom());
  EXPECT_EQ(700 - large.ClearHistory.bottom(), 458 - small.ClearHistory.bottom());
  EXPECT_GE(small.AddSongs.left(), small.SongList.left());
  EXPECT_LE(small.FindField.bottom(), small.AddSingerOnly.top());
  EXPECT_LE(small.SingerList.bottom(), small.FindField.top());
}

TEST(SingerWindowsTest, SingleWindowsVenuesAndRememberedPlace) {
  testing::LibraryFolder library;
  ASSERT_TRUE(library.Open());
  SingerHistory history(library.database);
  testing::ShowSetup setup;
  ASSERT_TRUE(VenueList::Write(setup.DataFolder() + "venuelist.cfg", {{"Rusty Anchor", 3}, {"Blue Room", 7}}));
  setup.settings.HistoryWindowWidth = 820;
  setup.settings.HistoryWindowHeight = 560;
  setup.settings.HistoryWindowLeft = 30;
  setup.settings.HistoryWindowTop = 40;
  QWidget mainWindow;
  QComboBox assignBox(&mainWindow);
  SingerWindows windows(*setup.show, history, setup.settings, setup.prompts, setup.DataFolder(),
                        &mainWindow);
  windows.SetAssignVenueBox(&assignBox);
  ASSERT_EQ(assignBox.count(), 3);
  EXPECT_EQ(assignBox.itemText(0), "No Venue");
  EXPECT_EQ(windows.AssignVenue(), 0);
  // New History rows take the "Assign Venue:" venue; the name menus follow it.
  assignBox.setCurrentIndex(2);
  EXPECT_EQ(windows.AssignVenue(), 7);
  history.RecordStartedSong(Sung("Tagged", "/s/t.mp3", 0, 0), "Ana");
  assignBox.setCurrentIndex(0);
  history.RecordStartedSong(Sung("Plain", "/s/p.mp3", 0, 0), "Ben");
  EXPECT_EQ(windows.HistoryNames(), (std::vector<std::string>{"Ana", "Ben"}));
  assignBox.setCurrentIndex(2);
  EXPECT_EQ(windows.HistoryNames(), std::vector<std::string>{"Ana"});

  // One History window, opened where it was last.
  HistoryWindow* opened = windows.OpenHistoryWindow();
  EXPECT_EQ(windows.OpenHistoryWindow(), opened);
  EXPECT_EQ(opened->size(), QSize(820, 560));
  opened->resize(900, 640);
  QApplication::processEvents();
  EXPECT_EQ(setup.settings.HistoryWindowWidth.load(), 900);
  EXPECT_EQ(setup.settings.HistoryWindowHeight.load(), 640);
  opened->VenueBox()->setCurrentIndex(2);
  EXPECT_EQ(windows.HistoryVenueChoice(), 2);

  // The management window: one at a time; numbers stay unique for the run;
  // every change refills both boxes at their first entry.
  opened->Button(Command::EditVenues)->click();
  VenueManagementWindow* venues = windows.VenueManagement();
  ASSERT_NE(venues, nullptr);
  EXPECT_EQ(windows.OpenVenueManagement(), venues);
  EXPECT_EQ(venues->windowTitle(), "Venue Filter Management");
  ASSERT_EQ(venues->List()->topLevelItemCount(), 2);
  setup.prompts.QueueInput(std::string("Lakeside"));
  venues->AddButton()->click();
  EXPECT_EQ(setup.prompts.Shown().back().Caption, "Venue Filter Description");
  EXPECT_EQ(setup.prompts.Shown().back().Text, "New Venue Filter");
  EXPECT_EQ(setup.prompts.Shown().back().MaxLength, 199);
  ASSERT_EQ(venues->List()->topLevelItemCount(), 3);
  EXPECT_EQ(venues->List()->topLevelItem(2)->text(1), "8");
  EXPECT_EQ(windows.HistoryVenueChoice(), -1);
  EXPECT_EQ(assignBox.count(), 4);
  EXPECT_EQ(assignBox.currentIndex(), 0);
  EXPECT_EQ(opened->VenueBox()->count(), 4);
  EXPECT_EQ(opened->VenueBox()->currentIndex(), 0);
  EXPECT_EQ(opened->ListVenue(), 0);

  venues->List()->setCurrentItem(venues->List()->topLevelItem(2));
  setup.prompts.QueueInput(std::string());  // an empty name changes nothing
  venues->EditButton()->click();
  EXPECT_EQ(setup.prompts.Shown().back().Text, "Edit Venue Filter Name");
  EXPECT_EQ(setup.prompts.Shown().back().Initial, "Lakeside");
  EXPECT_EQ(venues->List()->topLevelItem(2)->text(0), "Lakeside");
  venues->RemoveButton()->click();  // "No"
  EXPECT_EQ(setup.prompts.Shown().back().Caption, "Remove");
  EXPECT_EQ(setup.prompts.Shown().back().Text, "Remove Selected Venue Filter, Are You Sure?");
  EXPECT_EQ(venues->List()->topLevelItemCount(), 3);
  setup.prompts.QueueAnswer(PromptAnswer::Yes);
  venues->RemoveButton()->click();
  EXPECT_EQ(venues->List()->topLevelItemCount(), 2);
  setup.prompts.QueueInput(std::string("Harbour"));
  venues->AddButton()->click();
  EXPECT_EQ(venues->List()->topLevelItem(2)->text(1), "9");
  EXPECT_EQ(VenueList::Read(windows.VenueFile()).back(), (Venue{"Harbour", 9}));

  // The assignment dialog: the chosen number, "No Venue" 0, or -1.
  {
    VenueAssignmentDialog dialog(windows.VenueFile(), 2, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Venue Filter Assignment");
    EXPECT_EQ(dialog.Box()->itemText(0), "No Venue");
    EXPECT_EQ(dialog.Box()->currentIndex(), 2);
    dialog.AssignButton()->click();
    EXPECT_EQ(dialog.Venue(), 7);
  }
  {
    VenueAssignmentDialog dialog(windows.VenueFile(), -1, nullptr);
    dialog.AssignButton()->click();
    EXPECT_EQ(dialog.Venue(), 0);
  }
  testing::WhenModalOpens([](QWidget* dialog) { dialog->close(); });
  EXPECT_EQ(windows.AskVenue(nullptr), -1);

  // Closing forgets the windows; the next press opens new ones.
  venues->close();
  opened->Button(Command::Close)->click();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(windows.History(), nullptr);
  EXPECT_EQ(windows.VenueManagement(), nullptr);
  EXPECT_NE(windows.OpenHistoryWindow(), nullptr);
}

}  // namespace
}  // namespace lyricade
