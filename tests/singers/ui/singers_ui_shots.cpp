// Pictures of the singers' dialogs and windows with sample data, for looking
// at their layout: singers_ui_shots OUTPUT_FOLDER [--screen] (run under
// Xvfb). Each window is shown and grabbed to OUTPUT_FOLDER/<name>.png; with
// --screen the windows are then shown together and the whole screen is taken
// with ImageMagick's "import -window root" into OUTPUT_FOLDER/screen.png.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProcess>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <fstream>
#include <iostream>

#include "library/library_fixture.h"
#include "singers/singer_history.h"
#include "singers/ui/add_song_dialog.h"
#include "singers/ui/history_window.h"
#include "singers/ui/singer_name_dialog.h"
#include "singers/ui/singer_panel.h"
#include "singers/ui/singer_windows.h"
#include "singers/ui/song_parameters_dialog.h"
#include "singers/ui/venue_windows.h"
#include "singers/venue_list.h"
#include "singers_ui_support.h"

using namespace lyricade;

namespace {

std::string folder;

void Shoot(QWidget& widget, const char* name) {
  widget.show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  const std::string path = folder + "/" + name + ".png";
  if (!widget.grab().save(QString::fromStdString(path))) std::cerr << "cannot write " << path << "\n";
  widget.hide();
}

QueuedSong Song(const std::string& title, const std::string& artist, const std::string& path,
                int key, int multiplex) {
  QueuedSong song;
  song.Title = title;
  song.Artist = artist;
  song.Id = "SC8" + std::to_string(title.size()) + "-0" + std::to_string(key + 5);
  song.Year = "1987";
  song.Path = path;
  song.Key = key;
  song.Multiplex = multiplex;
  return song;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::cerr << "usage: singers_ui_shots OUTPUT_FOLDER\n";
    return 2;
  }
  folder = argv[1];

  lyricade::testing::LibraryFolder library;
  library.Open();
  SingerHistory history(library.database);
  const std::string present = library.folder.File("present.mp3");
  std::ofstream(present) << "audio";
  const std::string present2 = library.folder.File("present2.mp3");
  std::ofstream(present2) << "audio";
  history.RecordStartedSong(Song("Dancing Queen", "ABBA", present2, 0, 0), "Maria");
  history.RecordStartedSong(Song("Don't Stop Believin'", "Journey", "/karaoke/missing.zip", 2, 1), "Maria");
  history.RecordStartedSong(Song("Wonderwall", "Oasis", present, -1, 2), "Maria");
  history.RecordStartedSong(Song("Zombie", "The Cranberries", present, 0, 0), "Jo O'Brien");
  history.RecordStartedSong(Song("Hallelujah", "Leonard Cohen", present, 0, 0), "Sam");

  lyricade::testing::ShowSetup setup;
  VenueList::Write(setup.DataFolder() + "venuelist.cfg", {{"Rusty Anchor", 3}, {"Blue Room", 7}});
  SingerRotation& rotation = setup.show->Rotation();
  for (const char* name : {"Maria", "Sam", "Jo O'Brien", "Dee"}) rotation.AppendSinger(name);
  rotation.QueueSong(0, Song("Dancing Queen", "ABBA", "/karaoke/ABBA - Dancing Queen.zip", 0, 0));
  rotation.QueueSong(0, Song("Wonderwall", "Oasis", "/karaoke/Oasis - Wonderwall.zip", -2, 1));
  rotation.QueueSong(0, Song("Zombie", "The Cranberries", "/karaoke/Zombie.zip", 3, 2));
  rotation.QueueSong(1, Song("Hallelujah", "Leonard Cohen", "/karaoke/Hallelujah.zip", 0, 0));
  rotation.CueSong(1, false, false);

  QWidget mainWindow;
  mainWindow.setWindowTitle("Lyricade");
  auto* layout = new QVBoxLayout(&mainWindow);
  auto* assignBox = new QComboBox(&mainWindow);
  SingerWindows windows(*setup.show, history, setup.settings, setup.prompts, setup.DataFolder(),
                        &mainWindow);
  windows.SetAssignVenueBox(assignBox);
  layout->addWidget(assignBox);
  layout->addWidget(windows.CreateSingerPanel(&mainWindow));
  mainWindow.resize(1100, 420);
  Shoot(mainWindow, "singer_panel");

  const auto names = [&windows] { return windows.HistoryNames(); };
  AddSongDialog add(rotation, setup.prompts, names);
  add.SingerList()->setCurrentRow(1);
  add.Picker()->SetKey(-2);
  add.Picker()->SetMultiplex(1);
  Shoot(add, "add_song");
  SingerNameDialog name(SingerNameDialog::Purpose::Add, "Maria", setup.prompts, names);
  Shoot(name, "singer_name");
  SongParametersDialog parameters(2, 2, 0);
  Shoot(parameters, "song_parameters");

  HistoryWindow* historyWindow = windows.OpenHistoryWindow();
  historyWindow->SingerList()->setCurrentRow(1);
  Shoot(*historyWindow, "history");
  historyWindow->show();
  historyWindow->resize(1000, 640);
  Shoot(*historyWindow, "history_large");
  historyWindow->show();

  VenueManagementWindow* venues = windows.OpenVenueManagement();
  Shoot(*venues, "venue_management");
  VenueAssignmentDialog assign(windows.VenueFile(), 0, nullptr);
  Shoot(assign, "venue_assignment");

  if (argc > 2 && std::string(argv[2]) == "--screen") {
    mainWindow.move(0, 0);
    mainWindow.show();
    historyWindow->move(120, 380);
    historyWindow->resize(760, 480);
    historyWindow->show();
    venues->move(820, 560);
    venues->show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    return QProcess::execute("import", {"-window", "root", QString::fromStdString(folder + "/screen.png")});
  }
  return 0;
}
