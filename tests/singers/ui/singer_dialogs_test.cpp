// The rotation's dialogs driven through their widgets: the "Add Song" OK
// rules and result, the History name menu, the name and song-parameter
// dialogs, and the field sources of songs queued from the library and the
// catalogue.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

#include <fstream>
#include <sstream>

#include "library/library_fixture.h"
#include "library/library_list_model.h"
#include "singers/singer_rotation.h"
#include "singers/ui/add_song_dialog.h"
#include "singers/ui/singer_name_dialog.h"
#include "singers/ui/song_parameters_dialog.h"
#include "singers/ui/song_queueing.h"
#include "singers_ui_support.h"

namespace lyricade {
namespace {

SingerRotation TwoSingers() {
  SingerRotation rotation;
  rotation.AddSinger("Ana");
  rotation.AddSinger("Ben");
  return rotation;
}

TEST(AddSongDialog, OkRulesAndTheChoice) {
  SingerRotation rotation = TwoSingers();
  ScriptedPrompts prompts;
  AddSongDialog dialog(rotation, prompts, {});
  ASSERT_EQ(dialog.SingerList()->count(), 2);
  EXPECT_EQ(dialog.SingerList()->item(1)->text(), "Ben");
  EXPECT_EQ(dialog.NameField()->maxLength(), 99);
  EXPECT_EQ(dialog.Picker()->KeyLabel()->text(), "Normal");
  EXPECT_EQ(dialog.Picker()->MultiplexLabel()->text(), "C");

  // Neither a name nor a selection: the message, and the dialog stays.
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "Singer Name");
  EXPECT_EQ(prompts.Shown()[0].Text, "Must enter or select a Singer Name");

  // A typed name wins over a selected entry, even one of the same name.
  dialog.SingerList()->setCurrentRow(1);
  dialog.NameField()->setText("Ana");
  dialog.Picker()->KeyButton(-3)->click();
  EXPECT_EQ(dialog.Picker()->KeyLabel()->text(), "-3");
  dialog.Picker()->MultiplexButton(1)->click();
  EXPECT_EQ(dialog.Picker()->MultiplexLabel()->text(), "Left");
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Choice().Singer, -1);
  EXPECT_EQ(dialog.Choice().NewName, "Ana");
  EXPECT_EQ(dialog.Choice().Key, -3);
  EXPECT_EQ(dialog.Choice().Multiplex, 1);

  // The typed singer is always a new one at the end of the rotation.
  QueuedSong song;
  song.Title = "Song";
  ASSERT_TRUE(QueueChosenSong(rotation, dialog.Choice(), song));
  ASSERT_EQ(rotation.Count(), 3);
  EXPECT_EQ(rotation.Singers()[2].Name, "Ana");
  EXPECT_EQ(rotation.Singers()[2].Playlist.at(0).Key, -3);
  EXPECT_EQ(rotation.Singers()[2].Playlist.at(0).Multiplex, 1);
  EXPECT_TRUE(rotation.Singers()[0].Playlist.empty());
}

TEST(AddSongDialog, SelectionAndDoubleClickChooseAListedSinger) {
  SingerRotation rotation = TwoSingers();
  ScriptedPrompts prompts;
  {
    AddSongDialog dialog(rotation, prompts, {});
    dialog.SingerList()->setCurrentRow(1);
    dialog.Picker()->KeyButton(4)->click();
    dialog.Picker()->MultiplexButton(2)->click();
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.Choice().Singer, 1);
    EXPECT_TRUE(dialog.Choice().NewName.empty());
    EXPECT_EQ(dialog.Choice().Key, 4);
    EXPECT_EQ(dialog.Choice().Multiplex, 2);
    ASSERT_TRUE(QueueChosenSong(rotation, dialog.Choice(), QueuedSong{}));
    EXPECT_EQ(rotation.Singers()[1].Playlist.size(), 1u);
  }
  {
    // A double click closes with the listed singer, whatever is typed.
    AddSongDialog dialog(rotation, prompts, {});
    dialog.NameField()->setText("Typed");
    emit dialog.SingerList()->itemDoubleClicked(dialog.SingerList()->item(0));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice().Singer, 0);
    EXPECT_EQ(dialog.Choice().Key, 0);  // every opening starts at 0
  }
  EXPECT_TRUE(prompts.Shown().empty());
  // A chosen singer that is gone queues nothing.
  AddSongChoice gone;
  gone.Singer = 7;
  EXPECT_FALSE(QueueChosenSong(rotation, gone, QueuedSong{}));
}

TEST(NameDialogs, HistoryMenuEmptyNamesAndSongParameters) {
  ScriptedPrompts prompts;
  SingerNameDialog add(SingerNameDialog::Purpose::Add, "", prompts,
                       [] { return std::vector<std::string>{"Ana", "Tom & Jerry"}; });
  EXPECT_EQ(add.windowTitle(), "Add Singer Name");
  EXPECT_EQ(add.NameField()->maxLength(), 99);
  add.OkButton()->click();
  EXPECT_EQ(add.result(), QDialog::Rejected);
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "Singer Name");
  EXPECT_EQ(prompts.Shown()[0].Text, "Must enter a Singer Name");

  // The "..." menu: History's names numbered from 1, an ampersand shown as
  // itself; the picked name fills the field.
  add.NameButton()->RefreshMenu();
  const QList<QAction*> actions = add.NameButton()->NameMenu()->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[1]->text(), "Tom && Jerry");
  EXPECT_EQ(actions[1]->property("number").toInt(), 2);
  actions[1]->trigger();
  EXPECT_EQ(add.NameField()->text(), "Tom & Jerry");
  add.OkButton()->click();
  EXPECT_EQ(add.result(), QDialog::Accepted);
  EXPECT_EQ(add.Name(), "Tom & Jerry");

  SingerNameDialog edit(SingerNameDialog::Purpose::Edit, "Maria", prompts, {});
  EXPECT_EQ(edit.windowTitle(), "Edit Singer Name");
  EXPECT_EQ(edit.NameField()->text(), "Maria");
  edit.NameButton()->RefreshMenu();  // no name source: an empty menu
  EXPECT_TRUE(edit.NameButton()->NameMenu()->actions().isEmpty());

  SongParametersDialog parameters(-2, 2, 7);
  EXPECT_EQ(parameters.windowTitle(), "Edit Song Parameters");
  EXPECT_EQ(parameters.Picker()->KeyLabel()->text(), "-2");
  EXPECT_EQ(parameters.Picker()->MultiplexLabel()->text(), "Right");
  parameters.Picker()->KeyButton(0)->click();
  parameters.Picker()->MultiplexButton(0)->click();
  EXPECT_EQ(parameters.Picker()->KeyLabel()->text(), "Normal");
  EXPECT_EQ(parameters.Key(), 0);
  EXPECT_EQ(parameters.Multiplex(), 0);
  EXPECT_EQ(parameters.Tempo(), 7);
  parameters.TempoBox()->stepDown();
  EXPECT_EQ(parameters.Tempo(), 6);
  // Damaged settings open clamped.
  SongParametersDialog odd(9, -1, 40);
  EXPECT_EQ(odd.Key(), 4);
  EXPECT_EQ(odd.Multiplex(), 0);
  EXPECT_EQ(odd.Tempo(), 20);
}

TEST(SongQueueing, LibraryAndCatalogueRowsThroughTheDialog) {
  testing::LibraryFolder library;
  ASSERT_TRUE(library.Open());
  library.Add({std::string(300, 't'), "Artist", "SC-01", "/songs/missing.zip", "1994", "duet"});
  auto result = std::make_shared<DbResult>();
  ASSERT_TRUE(result->Open(library.database.LibraryPath(), "SELECT * FROM Items;"));
  LibraryListModel model;
  model.SetResult(result);
  ASSERT_EQ(model.RowCount(), 1);

  const QueuedSong fromLibrary = SongFromLibraryRow(model, 0);
  EXPECT_EQ(fromLibrary.Title, std::string(179, 't'));
  EXPECT_EQ(fromLibrary.Artist, "Artist");
  EXPECT_EQ(fromLibrary.Id, "SC-01");
  EXPECT_EQ(fromLibrary.Comment, "duet");
  EXPECT_EQ(fromLibrary.Year, "1994");
  EXPECT_EQ(fromLibrary.Path, "/songs/missing.zip");  // no missing-file mark

  const QueuedSong streamed =
      SongFromCatalogueRow("Title", "Artist", "ID-7", "http://AccountID=1&SongID=7", 12);
  EXPECT_EQ(streamed.Comment, "Streaming");
  EXPECT_EQ(streamed.Year, "");
  EXPECT_EQ(streamed.Path, "http://AccountID=1&SongID=7");
  EXPECT_EQ(streamed.SourceRow, 12);

  // Through the modal dialog into the controller's rotation, which saves.
  testing::ShowSetup setup;
  setup.show->Rotation().AppendSinger("Ana");
  testing::WhenModalOpens([](QWidget* widget) {
    auto* dialog = qobject_cast<AddSongDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    dialog->NameField()->setText("Ben");
    dialog->Picker()->KeyButton(1)->click();
    dialog->OkButton()->click();
  });
  ASSERT_TRUE(QueueThroughAddSong(setup.show->Rotation(), fromLibrary, setup.prompts, {}, nullptr));
  const SingerRotation& rotation = setup.show->Rotation();
  ASSERT_EQ(rotation.Count(), 2);
  EXPECT_EQ(rotation.Singers()[1].Name, "Ben");
  EXPECT_EQ(rotation.Singers()[1].Playlist.at(0).Key, 1);
  std::ifstream saved(setup.show->RotationFile(), std::ios::binary);
  std::stringstream text;
  text << saved.rdbuf();
  EXPECT_NE(text.str().find("-Ben\r\n1\r\n1, 0, 0\r\n"), std::string::npos) << text.str();

  testing::WhenModalOpens([](QWidget* widget) { qobject_cast<QDialog*>(widget)->reject(); });
  EXPECT_FALSE(QueueThroughAddSong(setup.show->Rotation(), streamed, setup.prompts, {}, nullptr));
  EXPECT_EQ(rotation.Singers()[1].Playlist.size(), 1u);
}

}  // namespace
}  // namespace lyricade
