#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QBrush>
#include <QElapsedTimer>

#include <filesystem>
#include <fstream>

#include "library/library_list_controller.h"
#include "library/library_list_model.h"
#include "library_fixture.h"

namespace lyricade {
namespace {

using testing::LibraryFolder;
using testing::Song;

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "library_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app =
      QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
  return *app;
}

class LibraryListTest : public ::testing::Test {
protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(library_.Open());
    const std::string songs = library_.folder.Path();
    std::ofstream(songs + "present.mp3") << "x";
    std::ofstream(songs + "Don't Stop.zip") << "x";
    library_.database.BeginTrans();
    library_.Add({"Love Me Do", "The Beatles", "SC100-01", songs + "present.mp3", "1962", ""});
    library_.Add({"Don't Stop", "Fleetwood Mac", "SC200-02", songs + "Don't Stop.zip", "1977",
                  "live"});
    library_.Add({"Halo", "BEYONC\xC3\x89", "SC300-03", songs + "gone.mp3", "2008", ""});
    library_.Add({"Crazy In Love", "Beyonc\xC3\xA9", "SC300-04", "http://stream/crazy", "2003",
                  ""});
    library_.Add({"Me And You [Live]", "Someone", "ID5", songs + "gone2.cdg", "", ""});
    library_.database.Execute("UPDATE Items SET Comments1 = NULL WHERE Title = 'Halo';");
    library_.database.CommitTrans();
    controller_.SetControlsSource([this] { return controls_; });
  }

  // Lets the workers finish and their results reach the model.
  void Settle() {
    QElapsedTimer timer;
    timer.start();
    while ((controller_.LoadBusy() || controller_.SearchBusy()) && timer.elapsed() < 10000) {
      controller_.WaitForWorkers();
      QCoreApplication::processEvents();
    }
    ASSERT_FALSE(controller_.LoadBusy() || controller_.SearchBusy());
  }

  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (long r = 0; r < model_.RowCount(); ++r) titles.push_back(model_.CellText(r, 0));
    return titles;
  }

  std::vector<std::string> SearchTitles(const std::string& text, const std::string& field,
                                        MatchMode mode = MatchMode::All) {
    controller_.SearchLibrary(text, field, mode, -1);
    Settle();
    return Titles();
  }

  LibraryFolder library_;
  LibraryListModel model_;
  LibraryListController controller_{library_.database, model_};
  SearchControls controls_;
};

using Names = std::vector<std::string>;

TEST_F(LibraryListTest, WholeLibraryInEachOrder) {
  controller_.LoadLibraryList(-1);
  EXPECT_EQ(controller_.StatusText(), "Loading...");
  EXPECT_FALSE(controller_.ButtonsEnabled());
  EXPECT_EQ(model_.RowCount(), 0);
  Settle();
  EXPECT_EQ(controller_.StatusText(), "Complete...");
  EXPECT_TRUE(controller_.ButtonsEnabled());
  // Titles sort without regard to case.
  EXPECT_EQ(Titles(), (Names{"Crazy In Love", "Don\xC2\xB4t Stop", "Halo", "Love Me Do",
                              "Me And You [Live]"}));
  controller_.HeaderClicked(0);
  Settle();
  EXPECT_EQ(controller_.ListStatement(), "SELECT * FROM Items ORDER BY TITLE DESC, ARTIST;");
  EXPECT_EQ(Titles().front(), "Me And You [Live]");
  controller_.HeaderClicked(4);  // Year
  Settle();
  EXPECT_EQ(controller_.ListStatement(), "SELECT * FROM Items ORDER BY YEAR1, TITLE;");
  EXPECT_EQ(Titles().front(), "Me And You [Live]");
  EXPECT_EQ(Titles().back(), "Halo");
  controller_.HeaderClicked(6);  // Ref
  Settle();
  EXPECT_EQ(controller_.ListStatement(), "SELECT * FROM Items ORDER BY SONGPATH;");
}

TEST_F(LibraryListTest, GroupVersionsShowsEachSongOnceAndOffLeavesTheListAsItWas) {
  library_.database.BeginTrans();
  library_.Add({"halo", "Beyonc\xC3\xA9", "ZM-9", "/z/halo.zip", "", ""});
  library_.Add({"HALO ", "beyonc\xC3\xA9", "SF-1", "/f/halo.zip", "", ""});
  library_.database.CommitTrans();
  auto ids = [this] {
    std::vector<std::string> shown;
    for (long r = 0; r < model_.RowCount(); ++r) shown.push_back(model_.CellText(r, 2));
    return shown;
  };
  auto shownTitle = [this](int row) { return model_.data(model_.index(row, 0)).toString().toStdString(); };
  controller_.LoadLibraryList(-1);
  Settle();
  const std::vector<std::string> ungrouped = ids();
  ASSERT_EQ(ungrouped.size(), 7u);

  const Names grouped{"SC300-04", "SC200-02", "SF-1", "SC100-01", "ID5"};
  controller_.SetVersions(true, MakerPreference::Parse("SF, SC"));
  Settle();
  EXPECT_EQ(ids(), grouped);
  EXPECT_EQ(model_.VersionCount(2), 3u);
  EXPECT_EQ(shownTitle(2), "\u25B8 HALO   (3 versions)");
  EXPECT_EQ(shownTitle(0), "Crazy In Love");
  EXPECT_FALSE(model_.ToggleVersions(0));
  ASSERT_TRUE(model_.ToggleVersions(2));
  EXPECT_EQ(ids(), (Names{"SC300-04", "SC200-02", "SF-1", "SC300-03", "ZM-9", "SC100-01", "ID5"}));
  EXPECT_EQ(model_.VersionCount(3), 0u);
  EXPECT_EQ(shownTitle(3).rfind("      ", 0), 0u) << "other versions stand indented";
  ASSERT_TRUE(model_.ToggleVersions(2));
  EXPECT_EQ(ids(), grouped);

  // The index lays the list out the same way, searches too.
  controller_.Index().Refresh();
  controller_.Index().WaitForBuild();
  controller_.LoadLibraryList(-1);
  Settle();
  controller_.LoadLibraryList(-1);  // the index is current from the second load on
  Settle();
  EXPECT_EQ(ids(), grouped);
  controls_.Text = "halo";
  controller_.Search();
  Settle();
  EXPECT_TRUE(controller_.LastSearchIndexed());
  EXPECT_EQ(ids(), (Names{"SF-1"}));
  controller_.ShowAll();
  Settle();

  // Off again: every row, shown as before.
  controller_.SetVersions(false, MakerPreference::Parse("SF, SC"));
  Settle();
  EXPECT_EQ(ids(), ungrouped);
  for (int r = 0; r < 7; ++r) EXPECT_EQ(shownTitle(r), model_.CellText(r, 0));
  EXPECT_EQ(model_.VersionCount(2), 0u);
}

TEST_F(LibraryListTest, SearchesFindAccentsApostrophesAndEmptyFields) {
  EXPECT_EQ(SearchTitles("don't", "Title"), (Names{"Don\xC2\xB4t Stop"}));
  EXPECT_EQ(SearchTitles("beyonc\xC3\xA9", "Artist"), (Names{"Crazy In Love", "Halo"}));
  // Brackets become blanks: "[live]" looks for " LIVE", which "[Live]" does not hold.
  EXPECT_EQ(SearchTitles("[live]", "Title"), Names{});
  EXPECT_EQ(SearchTitles("[and you]", "Title"), (Names{"Me And You [Live]"}));
  EXPECT_EQ(SearchTitles("love me", "Match All"), (Names{"Love Me Do"}));
  EXPECT_EQ(SearchTitles("love me", "Match All", MatchMode::AtleastOne),
            (Names{"Crazy In Love", "Love Me Do", "Me And You [Live]"}));
  EXPECT_EQ(SearchTitles("live", "Match All"), (Names{"Don\xC2\xB4t Stop", "Me And You [Live]"}));
  EXPECT_EQ(SearchTitles("stop.zip", "Location"), (Names{"Don\xC2\xB4t Stop"}));
  // An empty text lists the rows whose field is not null (Halo's comment is).
  EXPECT_EQ(SearchTitles("", "Comment").size(), 4u);
  EXPECT_TRUE(controller_.SearchMode());
  EXPECT_EQ(controller_.StatusText(), "Complete...");
}

TEST_F(LibraryListTest, OnceIndexedSearchesShowTheSameRowsAndAWriteFallsBackToTheStatement) {
  EXPECT_EQ(SearchTitles("love", "Match All"), (Names{"Crazy In Love", "Love Me Do"}));
  EXPECT_FALSE(controller_.LastSearchIndexed()) << "the index is built after a whole-library load";
  controller_.LoadLibraryList(-1);
  Settle();
  controller_.Index().WaitForBuild();
  EXPECT_EQ(SearchTitles("love", "Match All"), (Names{"Crazy In Love", "Love Me Do"}));
  EXPECT_TRUE(controller_.LastSearchIndexed());
  EXPECT_EQ(SearchTitles("don't", "Title"), (Names{"Don\xC2\xB4t Stop"}));
  EXPECT_EQ(SearchTitles("beyonc\xC3\xA9", "Artist"), (Names{"Crazy In Love", "Halo"}));
  EXPECT_EQ(SearchTitles("", "Comment").size(), 4u);
  EXPECT_TRUE(controller_.LastSearchIndexed());
  EXPECT_EQ(model_.CellText(0, 1), "Beyonc\xC3\xA9");  // cells read from the rows found

  ASSERT_TRUE(library_.database.Execute("DELETE FROM Items WHERE Title = 'Love Me Do';"));
  EXPECT_EQ(SearchTitles("love", "Match All"), (Names{"Crazy In Love"}));
  EXPECT_FALSE(controller_.LastSearchIndexed());
  controller_.Index().WaitForBuild();
  EXPECT_EQ(SearchTitles("love", "Match All"), (Names{"Crazy In Love"}));
  EXPECT_TRUE(controller_.LastSearchIndexed());
}

TEST_F(LibraryListTest, HeaderClicksKeepTheModeAndEachModeItsOwnOrder) {
  controller_.HeaderClicked(1);  // whole library by artist
  Settle();
  controls_ = {"love", "Title", MatchMode::All};
  controller_.Search();
  Settle();
  EXPECT_EQ(controller_.ListStatement(),
            "SELECT * FROM Items WHERE TITLE LIKE '%LOVE%' ORDER BY TITLE, ARTIST;");
  controller_.HeaderClicked(6);  // Ref in a search: column 5, by path
  Settle();
  EXPECT_EQ(controller_.ListStatement(),
            "SELECT * FROM Items WHERE TITLE LIKE '%LOVE%' ORDER BY SONGPATH;");
  EXPECT_EQ(Titles(), (Names{"Love Me Do", "Crazy In Love"}));  // "/tmp/..." before "http:"
  controller_.HeaderClicked(5);
  Settle();
  EXPECT_EQ(controller_.ListStatement(),
            "SELECT * FROM Items WHERE TITLE LIKE '%LOVE%' ORDER BY SONGPATH DESC;");
  controller_.ShowAll();
  Settle();
  EXPECT_FALSE(controller_.SearchMode());
  EXPECT_EQ(controller_.ListStatement(), "SELECT * FROM Items ORDER BY ARTIST, TITLE;");
  EXPECT_EQ(model_.RowCount(), 5);
}

TEST_F(LibraryListTest, CellsMarkMissingSongsButNeverStreams) {
  controller_.LoadLibraryList(-1);
  Settle();
  ASSERT_EQ(model_.RowCount(), 5);
  const std::string songs = library_.folder.Path();
  // Rows in title order: Crazy (stream), Don't (present), Halo (gone), Love (present), Me (gone).
  EXPECT_EQ(model_.CellText(0, 5), "http://stream/crazy");
  EXPECT_FALSE(model_.RowMissing(0));
  EXPECT_EQ(model_.CellText(1, 5), songs + "Don't Stop.zip");
  EXPECT_EQ(model_.CellText(2, 5), songs + "gone.mp3*");
  EXPECT_TRUE(model_.RowMissing(2));
  EXPECT_EQ(model_.CellText(2, 1), "BEYONC\xC3\x89");
  EXPECT_EQ(model_.CellText(2, 3), "");  // null comment
  EXPECT_EQ(model_.CellText(2, 4), "2008");
  EXPECT_EQ(model_.CellText(2, 6), "3");
  EXPECT_EQ(model_.ItemNumber(2), 3);

  const QModelIndex red = model_.index(2, 0);
  EXPECT_EQ(model_.data(red, Qt::ForegroundRole).value<QBrush>().color(), QColor(220, 0, 0));
  EXPECT_EQ(model_.data(model_.index(0, 3), Qt::ForegroundRole).value<QBrush>().color(),
            QColor(0, 0, 0));
  EXPECT_EQ(model_.data(model_.index(3, 0)).toString(), "Love Me Do");
  EXPECT_EQ(model_.headerData(5, Qt::Horizontal).toString(), "Location");
  // Rows outside the result read as nothing.
  EXPECT_EQ(model_.CellText(5, 0), "");
  EXPECT_EQ(model_.CellText(-1, 0), "");
  EXPECT_EQ(model_.CellText(0, 7), "");
  EXPECT_FALSE(model_.data(model_.index(9, 0)).isValid());
}

TEST_F(LibraryListTest, OverlappingLoadsNeverShareAResultAndTheLastOneWins) {
  controller_.SearchLibrary("love", "Title", MatchMode::All, -1);
  controller_.WaitForWorkers();  // the search has finished but not reached the list
  // A second search while one is busy is dropped.
  controller_.SearchLibrary("halo", "Title", MatchMode::All, -1);
  EXPECT_NE(controller_.ListStatement().find("LOVE"), std::string::npos);
  controller_.LoadLibraryList(-1);
  EXPECT_TRUE(controller_.SearchBusy());
  EXPECT_TRUE(controller_.LoadBusy());
  EXPECT_EQ(model_.RowCount(), 0);
  controller_.WaitForWorkers();

  // The search's result arrives first: only its busy flag clears.
  int arrived = 0;
  QObject::connect(&controller_, &LibraryListController::loadFinished, [&](bool search) {
    ++arrived;
    if (arrived == 1) {
      EXPECT_TRUE(search);
      EXPECT_EQ(model_.RowCount(), 2);
      EXPECT_FALSE(controller_.SearchBusy());
      EXPECT_TRUE(controller_.LoadBusy());
      EXPECT_FALSE(controller_.ButtonsEnabled());
    }
  });
  Settle();
  EXPECT_EQ(arrived, 2);
  EXPECT_EQ(model_.RowCount(), 5);  // the whole library finished last
  EXPECT_TRUE(controller_.ButtonsEnabled());
  EXPECT_EQ(model_.CellText(4, 0), "Me And You [Live]");
}

TEST_F(LibraryListTest, RefusedStatementsAndMissingLibrariesGiveEmptyLists) {
  // The store refuses the statement: no such table.
  ASSERT_TRUE(library_.database.Execute("DROP TABLE Items;"));
  controller_.LoadLibraryList(-1);
  Settle();
  EXPECT_EQ(model_.RowCount(), 0);
  EXPECT_EQ(controller_.StatusText(), "Complete...");
  EXPECT_TRUE(controller_.ButtonsEnabled());

  library_.database.Close();
  controller_.SearchLibrary("love", "Title", MatchMode::All, -1);
  Settle();
  EXPECT_EQ(model_.RowCount(), 0);
  EXPECT_EQ(controller_.StatusText(), "Complete...");
}

}  // namespace
}  // namespace lyricade
