// The three lists' columns on real views, and their file.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>

#include "between/ui/list_columns.h"
#include "common/test_folder.h"
#include "common/text_file.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade {
namespace {

class ListColumnsTest : public ::testing::Test {
protected:
  ListColumnsTest() {
    for (auto [view, model, list] : {std::tuple{&library, &libraryModel, ColumnList::Library},
                                     std::tuple{&playlist, &playlistModel, ColumnList::Playlist},
                                     std::tuple{&singers, &singerModel, ColumnList::Singers}}) {
      model->setColumnCount(static_cast<int>(DesignedColumns(list).size()));
      view->setModel(model);
    }
  }
  std::string File() const { return folder.File("colorder.cfg"); }

  testing::TestFolder folder;
  QStandardItemModel libraryModel, playlistModel, singerModel;
  QTreeView library, playlist, singers;
};

TEST_F(ListColumnsTest, DesignedStateOnAFirstRun) {
  ListColumnsKeeper keeper(&library, &singers, &playlist);
  keeper.Restore(File());  // no file
  EXPECT_EQ(keeper.Current(), ColumnLayout{});
  EXPECT_EQ(library.header()->sectionSize(3), 0);  // "Comment" hidden
  EXPECT_EQ(library.header()->sectionSize(6), 1);  // "Ref"
  EXPECT_EQ(singers.header()->sectionSize(2), 150);
  EXPECT_TRUE(singers.header()->sectionsMovable());
  EXPECT_EQ(playlist.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(ListColumnsTest, DraggedOrderAndWidthsComeBack) {
  {
    ListColumnsKeeper keeper(&library, &singers, &playlist);
    library.header()->moveSection(1, 0);  // "Artist" in front of "Song Name"
    library.header()->resizeSection(4, 0);
    playlist.header()->resizeSection(6, 90);
    ASSERT_TRUE(keeper.Save(File()));
  }
  const auto lines = ReadTextLines(File());
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 4u);
  EXPECT_EQ((*lines)[1], "1 0 2 3 4 5 6");
  EXPECT_EQ((*lines)[3], "300 200 120 0 0 120 1");

  QStandardItemModel model2(0, 7), model3(0, 10), model4(0, 3);
  QTreeView library2, playlist2, singers2;
  library2.setModel(&model2);
  playlist2.setModel(&model3);
  singers2.setModel(&model4);
  ListColumnsKeeper again(&library2, &singers2, &playlist2);
  again.Restore(File());
  EXPECT_EQ(library2.header()->logicalIndex(0), 1);
  EXPECT_EQ(library2.header()->sectionSize(4), 0);  // kept hidden
  EXPECT_EQ(playlist2.header()->sectionSize(6), 90);

  // "Reset All Columns..." answered No changes nothing; Yes resets.
  ScriptedPrompts prompts;
  prompts.QueueAnswer(PromptAnswer::No);
  EXPECT_FALSE(again.ResetAll(prompts));
  EXPECT_EQ(library2.header()->logicalIndex(0), 1);
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "Reset All Columns");
  prompts.QueueAnswer(PromptAnswer::Yes);
  EXPECT_TRUE(again.ResetAll(prompts));
  EXPECT_EQ(again.Current(), ColumnLayout{});
}

TEST(ColumnLayoutFile, DamagedFilesNeverScrambleOrHideColumns) {
  testing::TestFolder folder;
  const ColumnLayout designed;
  const std::pair<const char*, const char*> cases[] = {
      // Orders that are no arrangement of the columns: designed order.
      {"0 0 0 0 0 0 0 0 0 0\r\n9 8 7 6 5 4 3\r\n", "repeats and out of range"},
      {"-1 1 2 3 4 5 6 7 8 9\r\nx y z\r\n", "negative and words"},
      {"", "empty file"},
  };
  for (const auto& [content, what] : cases) {
    ASSERT_TRUE(WriteFileAtomically(folder.File("c.cfg"), content));
    ColumnLayout layout;
    EXPECT_TRUE(layout.Load(folder.File("c.cfg"))) << what;
    EXPECT_EQ(layout, designed) << what;
  }

  // A short file: what can be read is used, the rest is designed.
  ASSERT_TRUE(WriteFileAtomically(folder.File("c.cfg"), "1 0\r\n\r\n40 50 abc 60\r\n"));
  ColumnLayout layout;
  ASSERT_TRUE(layout.Load(folder.File("c.cfg")));
  EXPECT_EQ(layout.Playlist.Order, (std::vector<int>{1, 0, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(layout.Library, designed.Library);
  EXPECT_EQ(layout.Playlist.Widths, (std::vector<int>{40, 50, 35, 300, 200, 120, 0, 50, 120, 1}));

  // Widths are the numbers' low 16 bits.
  ASSERT_TRUE(WriteFileAtomically(folder.File("c.cfg"), "\r\n\r\n65636\r\n"));
  ASSERT_TRUE(layout.Load(folder.File("c.cfg")));
  EXPECT_EQ(layout.Playlist.Widths[0], 100);
  EXPECT_FALSE(ColumnLayout{}.Load(folder.File("none.cfg")));
}

}  // namespace
}  // namespace lyricade
