// The singer list and playlist: cell texts, red rows and the playlist title
// against a rotation, and the singer panel's clicks and buttons routed to
// the host controller.
#include <QBrush>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "common/designed_columns.h"
#include "singers/ui/key_multiplex_picker.h"
#include "singers/ui/rotation_models.h"
#include "singers/ui/singer_name_dialog.h"
#include "singers/ui/singer_panel.h"
#include "singers/ui/song_parameters_dialog.h"
#include "singers_ui_support.h"

namespace lyricade {
namespace {

QueuedSong Song(const std::string& title, int key, int multiplex) {
  QueuedSong song;
  song.Title = title;
  song.Artist = "Artist " + title;
  song.Id = "ID-" + title;
  song.Comment = "hidden";
  song.Year = "1994";
  song.Path = "/songs/" + title + ".zip";
  song.Key = key;
  song.Multiplex = multiplex;
  return song;
}

bool Red(const QAbstractItemModel& model, int row) {
  return model.data(model.index(row, 0), Qt::ForegroundRole).value<QBrush>().color() ==
         QColor(220, 0, 0);
}

TEST(RotationModels, CellTextsRedRowsAndTitle) {
  SingerRotation rotation;
  rotation.AddSinger("Ana");
  rotation.AddSinger("Ben");
  rotation.QueueSong(1, Song("One", 2, 1));
  rotation.QueueSong(1, Song("Two", -1, 2));
  rotation.QueueSong(1, Song("Three", 0, 0));
  SingerListModel singers(rotation);
  PlaylistModel playlist(rotation);

  ASSERT_EQ(singers.rowCount(), 2);
  EXPECT_EQ(singers.headerData(1, Qt::Horizontal).toString(), "Songs");
  EXPECT_EQ(singers.CellText(1, 0), "2");
  EXPECT_EQ(singers.CellText(1, 1), "(3)");
  EXPECT_EQ(singers.CellText(1, 2), "Ben");
  // Waits as the show estimates them; a singer sitting out is grey.
  singers.SetWaits(EstimateWaits(rotation, [](const QueuedSong&) { return 240; }, 45, false, 0));
  EXPECT_EQ(singers.CellText(1, 3), "next");
  rotation.SetSittingOut(1, true);
  EXPECT_TRUE(singers.RowIsGrey(1));
  rotation.SetSittingOut(1, false);
  EXPECT_EQ(PlaylistTitle(rotation), "Singer's Playlist (for Ana)");  // singer 0 selected at start
  EXPECT_EQ(playlist.rowCount(), 0);

  rotation.SelectSinger(1);
  playlist.Refresh();
  ASSERT_EQ(playlist.rowCount(), 3);
  EXPECT_EQ(PlaylistTitle(rotation), "Singer's Playlist (for Ben)");
  const std::vector<std::string> first = {"1", "+2", "L", "One", "Artist One", "ID-One", "hidden",
                                          "1994", "/songs/One.zip", ""};
  for (int c = 0; c < PlaylistModel::kColumnCount; ++c) EXPECT_EQ(playlist.CellText(0, c), first[c]) << c;
  EXPECT_EQ(playlist.CellText(1, 1), "-1");
  EXPECT_EQ(playlist.CellText(1, 2), "R");
  EXPECT_EQ(playlist.CellText(2, 1), "Norm");
  EXPECT_EQ(playlist.CellText(2, 2), "C");
  EXPECT_EQ(playlist.headerData(6, Qt::Horizontal).toString(), "Comment");
  EXPECT_EQ(DesignedColumns(ColumnList::Playlist)[6].Width, 0);
  EXPECT_EQ(DesignedColumns(ColumnList::Singers).size(), static_cast<size_t>(SingerListModel::kColumnCount))
      << "every column of the singer list has its designed width";

  // Nobody current: nothing red. Cue Ben's second song: his row and that
  // song are red.
  EXPECT_FALSE(Red(singers, 0) || Red(singers, 1) || Red(playlist, 1));
  rotation.CueSong(1, false, false);
  singers.Refresh();
  playlist.Refresh();
  EXPECT_TRUE(Red(singers, 1));
  EXPECT_FALSE(Red(singers, 0));
  EXPECT_TRUE(Red(playlist, 1));
  EXPECT_FALSE(Red(playlist, 0));
  // Another singer's playlist shows no red song.
  rotation.SelectSinger(0);
  playlist.Refresh();
  EXPECT_EQ(playlist.rowCount(), 0);
  // Removal: no selection, the plain title, no rows; stale rows read empty.
  rotation.SelectSinger(1);
  rotation.RemoveSelectedSinger();
  EXPECT_EQ(PlaylistTitle(rotation), "Singer's Playlist");
  EXPECT_EQ(singers.CellText(1, 2), "");
  playlist.Refresh();
  singers.Refresh();
  EXPECT_EQ(playlist.rowCount(), 0);
  EXPECT_EQ(singers.rowCount(), 1);
}

class PanelTest : public ::testing::Test {
protected:
  PanelTest() : panel(*setup.show, setup.prompts, {}) {
    SingerRotation& rotation = setup.show->Rotation();
    for (const char* name : {"Ana", "Ben", "Cy"}) rotation.AppendSinger(name);
    rotation.QueueSong(0, Song("A1", 0, 0));
    rotation.QueueSong(0, Song("A2", 3, 2));
    rotation.QueueSong(1, Song("B1", 0, 0));
  }
  void ClickSinger(int row) {
    panel.SingerView()->selectionModel()->setCurrentIndex(
        panel.SingerView()->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  void ClickSong(int row) {
    panel.PlaylistView()->selectionModel()->setCurrentIndex(
        panel.PlaylistView()->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  const SingerRotation& Rotation() const { return setup.show->Rotation(); }

  testing::ShowSetup setup;
  SingerPanel panel;
};

TEST_F(PanelTest, ClicksSelectDoubleClicksCueAndMovesFollow) {
  EXPECT_EQ(panel.SingerView()->header()->sectionSize(2), 150);
  EXPECT_EQ(panel.PlaylistView()->header()->sectionSize(3), 300);
  EXPECT_EQ(panel.SingerView()->model()->rowCount(), 3);
  ClickSinger(1);
  EXPECT_EQ(Rotation().SelectedSinger(), 1);
  EXPECT_EQ(panel.PlaylistTitleLabel()->text(), "Singer's Playlist (for Ben)");
  EXPECT_EQ(panel.PlaylistView()->model()->rowCount(), 1);

  ClickSinger(0);
  ClickSong(1);
  EXPECT_EQ(Rotation().SelectedSong(), 1);
  emit panel.PlaylistView()->doubleClicked(panel.PlaylistView()->model()->index(1, 0));
  EXPECT_EQ(Rotation().CurrentSinger(), 0);
  EXPECT_EQ(Rotation().CurrentSong(), 1);
  EXPECT_EQ(Rotation().LiveKeyTenths(), 30);
  EXPECT_TRUE(Red(panel.Playlist(), 1));

  // Moving the song to the top takes the current song along; the view's
  // selection follows the moved song.
  panel.Button(SingerPanel::Command::SongToTop)->click();
  EXPECT_EQ(Rotation().Singers()[0].Playlist[0].Title, "A2");
  EXPECT_EQ(Rotation().CurrentSong(), 0);
  EXPECT_EQ(panel.PlaylistView()->currentIndex().row(), 0);
  EXPECT_TRUE(Red(panel.Playlist(), 0));

  panel.Button(SingerPanel::Command::SingerToBottom)->click();
  EXPECT_EQ(Rotation().Singers()[2].Name, "Ana");
  EXPECT_EQ(Rotation().CurrentSinger(), 2);
  EXPECT_EQ(panel.SingerView()->currentIndex().row(), 2);
  EXPECT_EQ(panel.Singers().CellText(2, 1), "(2)");
  panel.Button(SingerPanel::Command::SingerUp)->click();
  EXPECT_EQ(Rotation().Singers()[1].Name, "Ana");
  EXPECT_EQ(panel.SingerView()->currentIndex().row(), 1);

  emit panel.SingerView()->doubleClicked(panel.SingerView()->model()->index(0, 0));
  EXPECT_EQ(Rotation().CurrentSinger(), 0);
  EXPECT_EQ(Rotation().CurrentSong(), 0);
  EXPECT_TRUE(Red(panel.Singers(), 0));
  EXPECT_TRUE(setup.prompts.Shown().empty());
}

TEST_F(PanelTest, RemovalsAskAndEditsGoThroughTheirDialogs) {
  ClickSinger(0);
  ClickSong(0);
  // "No" keeps the song; "Yes" removes it.
  panel.Button(SingerPanel::Command::RemoveSong)->click();
  ASSERT_EQ(setup.prompts.Shown().size(), 1u);
  EXPECT_EQ(setup.prompts.Shown()[0].Caption, "Remove");
  EXPECT_EQ(setup.prompts.Shown()[0].Text, "Are you sure?");
  EXPECT_EQ(Rotation().Singers()[0].Playlist.size(), 2u);
  setup.prompts.QueueAnswer(PromptAnswer::Yes);
  panel.Button(SingerPanel::Command::RemoveSong)->click();
  EXPECT_EQ(Rotation().Singers()[0].Playlist.size(), 1u);
  EXPECT_EQ(panel.PlaylistView()->model()->rowCount(), 1);

  // Edit Song Parameters opens with the song's settings and stores new ones.
  ClickSong(0);
  testing::WhenModalOpens([](QWidget* widget) {
    auto* dialog = qobject_cast<SongParametersDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Picker()->KeyLabel()->text(), "3");
    dialog->Picker()->KeyButton(-4)->click();
    dialog->Picker()->MultiplexButton(1)->click();
    dialog->OkButton()->click();
  });
  panel.Button(SingerPanel::Command::EditSong)->click();
  EXPECT_EQ(Rotation().Singers()[0].Playlist[0].Key, -4);
  EXPECT_EQ(panel.Playlist().CellText(0, 1), "-4");
  EXPECT_EQ(panel.Playlist().CellText(0, 2), "L");

  // Rename, then add a singer of the same name: a second singer.
  testing::WhenModalOpens([](QWidget* widget) {
    auto* dialog = qobject_cast<SingerNameDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Edit Singer Name");
    dialog->NameField()->setText("Anabel");
    dialog->OkButton()->click();
  });
  panel.Button(SingerPanel::Command::EditSinger)->click();
  EXPECT_EQ(Rotation().Singers()[0].Name, "Anabel");
  EXPECT_EQ(panel.PlaylistTitleLabel()->text(), "Singer's Playlist (for Anabel)");
  testing::WhenModalOpens([](QWidget* widget) {
    auto* dialog = qobject_cast<SingerNameDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Add Singer Name");
    dialog->NameField()->setText("Anabel");
    dialog->OkButton()->click();
  });
  panel.Button(SingerPanel::Command::AddSinger)->click();
  ASSERT_EQ(Rotation().Count(), 4);
  EXPECT_EQ(Rotation().Singers()[3].Name, "Anabel");
  EXPECT_EQ(panel.SingerView()->model()->rowCount(), 4);

  // Removing the singer: the selection goes, the title is plain, and a
  // removal or a move without a selection does nothing and asks nothing.
  setup.prompts.ClearShown();
  setup.prompts.QueueAnswer(PromptAnswer::Yes);
  panel.Button(SingerPanel::Command::RemoveSinger)->click();
  EXPECT_EQ(Rotation().Count(), 3);
  EXPECT_EQ(Rotation().SelectedSinger(), -1);
  EXPECT_EQ(panel.PlaylistTitleLabel()->text(), "Singer's Playlist");
  EXPECT_FALSE(panel.SingerView()->selectionModel()->hasSelection());
  for (auto command : {SingerPanel::Command::RemoveSinger, SingerPanel::Command::RemoveSong,
                       SingerPanel::Command::SingerDown, SingerPanel::Command::SongDown,
                       SingerPanel::Command::EditSinger, SingerPanel::Command::EditSong})
    panel.Run(command);
  EXPECT_EQ(setup.prompts.Shown().size(), 1u);
  EXPECT_EQ(Rotation().Count(), 3);
  EXPECT_EQ(Rotation().Singers()[0].Name, "Ben");
}

}  // namespace
}  // namespace lyricade
