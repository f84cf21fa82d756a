#include "library/library_maintenance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <locale>

#include "library/text_replace.h"
#include "library_fixture.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

using testing::LibraryFolder;
using testing::Song;

// Streams under this locale write 1234567 as "1.234.567", as German does.
struct GroupingPunct : std::numpunct<char> {
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

// A seeded library, the maintenance commands on it and a record of what
// they asked of the list.
struct Maintained {
  Maintained() : maintenance(library.database, library.prompts, Hooks()) {
    EXPECT_TRUE(library.Open());
  }

  MaintenanceListHooks Hooks() {
    return {[this] { ++reloads; }, [this](bool enabled) { enabledStates.push_back(enabled); },
            [this] { ++searchModeLeft; }};
  }

  long Add(const std::string& title, const std::string& artist, const std::string& id,
           const std::string& path, const std::string& year = "",
           const std::string& comment = "") {
    library.Add(Song{title, artist, id, path, year, comment});
    return static_cast<long>(library.database.Library().LastInsertId());
  }
  // Songs "Song 0" to "Song n-1" at paths that do not exist.
  std::vector<long> AddSongs(int count) {
    std::vector<long> numbers;
    for (int i = 0; i < count; ++i) {
      const std::string n = std::to_string(i);
      numbers.push_back(Add("Song " + n, "Artist", "ID", "/none/" + n + ".mp3"));
    }
    return numbers;
  }
  // Title, Artist and ID of a row; empty when the row is gone.
  std::vector<std::string> Fields(long itemNum) {
    DbResult row;
    if (!row.Open(library.database.LibraryPath(),
                  "SELECT Title, Artist, ID FROM Items WHERE ItemNum = " +
                      std::to_string(itemNum) + ";") ||
        row.AtEnd())
      return {};
    return {*row.Text(0), *row.Text(1), *row.Text(2)};
  }
  long Count() {
    DbResult rows;
    rows.Open(library.database.LibraryPath(), "SELECT count(*) FROM Items;");
    return static_cast<long>(rows.Integer(0).value_or(-1));
  }
  std::vector<std::string> Asked() {
    std::vector<std::string> texts;
    for (const ShownPrompt& shown : library.prompts.Shown())
      texts.push_back(shown.Caption + ": " + shown.Text);
    return texts;
  }
  void Answer(std::initializer_list<PromptAnswer> answers) {
    for (PromptAnswer answer : answers) library.prompts.QueueAnswer(answer);
  }
  std::string Touch(const std::string& name) {
    const std::string path = library.folder.File(name);
    std::ofstream(path) << "x";
    return path;
  }

  LibraryFolder library;
  LibraryMaintenance maintenance;
  int reloads = 0;
  int searchModeLeft = 0;
  std::vector<bool> enabledStates;
};

constexpr PromptAnswer kYes = PromptAnswer::Yes;
constexpr PromptAnswer kNo = PromptAnswer::No;

TEST(MaintenanceStatements, AreWrittenAsTheCommandsSendThem) {
  const std::locale previous = std::locale::global(std::locale(std::locale(), new GroupingPunct));
  EXPECT_EQ(RemoveItemStatement(1234567), "DELETE FROM Items WHERE  ItemNum = 1234567;");
  EXPECT_EQ(EditItemStatement({"Don't", "Abba", "SC-1", "1974", "duet"}, "/k/Don't.mp3"),
            "UPDATE Items Set TITLE = 'Don\xC2\xB4t', ARTIST = 'Abba', ID = 'SC-1', YEAR1 = "
            "'1974', COMMENTS1 = 'duet' WHERE SongPath = '/k/Don''t.mp3';");
  EXPECT_EQ(FlipStatement(FlipMode::TitleArtist, "Waterloo", "Abba", "/k/Abba - Waterloo.mp3"),
            "UPDATE Items Set TITLE = 'Abba', ARTIST = 'Waterloo'  WHERE SongPath = "
            "'/k/Abba - Waterloo.mp3';");
  EXPECT_EQ(FlipStatement(FlipMode::TitleId, "T", "I", "/p"),
            "UPDATE Items Set TITLE = 'I', ID = 'T'  WHERE SongPath = '/p';");
  EXPECT_EQ(FlipStatement(FlipMode::ArtistId, "A", "I", "/p"),
            "UPDATE Items Set ARTIST = 'I', ID = 'A'  WHERE SongPath = '/p';");
  EXPECT_EQ(FindReplaceRowsStatement("100%_\\"),
            "SELECT ItemNum, Title, Artist, ID FROM Items WHERE Title LIKE '%100\\%\\_\\\\%' "
            "ESCAPE '\\' OR ARTIST LIKE '%100\\%\\_\\\\%' ESCAPE '\\' OR ID LIKE "
            "'%100\\%\\_\\\\%' ESCAPE '\\';");
  EXPECT_EQ(WriteReplacedRowStatement(20000, "A", "B'", "C"),
            "UPDATE Items SET  TITLE = 'A', ARTIST = 'B\xC2\xB4', ID = 'C' WHERE ItemNum = 20000;");
  std::locale::global(previous);
}

TEST(ReplaceUpperCased, ReplacesFromTheEndAndAlwaysEnds) {
  EXPECT_EQ(ReplaceUpperCased("Love Me Tender", "LOVE", "heart"), "HEART ME TENDER");
  EXPECT_EQ(ReplaceUpperCased("Elvis Presley", "LOVE", "heart"), "ELVIS PRESLEY");
  EXPECT_EQ(ReplaceUpperCased("Café love", "LOVE", "x"), "CAFé X");
  // Occurrences formed across the replacement's edges are replaced as the
  // whole-text loop does: "AAB" -> "AB" -> "B", "ABB" -> "BAB" -> "BBA".
  EXPECT_EQ(ReplaceUpperCased("aab", "AB", "b"), "B");
  EXPECT_EQ(ReplaceUpperCased("abb", "AB", "ba"), "BBA");
  // Loops that would never end: the replacement holds the search text, or
  // keeps forming it ("AB" -> "BBAA").
  EXPECT_EQ(ReplaceUpperCased("banana", "A", "aa"), "BAANAANAA");
  EXPECT_EQ(ReplaceUpperCased("love", "LOVE", "Lovely"), "LOVELY");
  const std::string grown = ReplaceUpperCased("aab", "AB", "bbaa");
  EXPECT_LE(grown.size(), 3 + kMaxReplaceGrowth + 4);
  EXPECT_EQ(ReplaceUpperCased("love", "", "x"), "LOVE");
}

TEST(LibraryMaintenance, RemoveSongsOffersToClearWhenMoreThanHalfIsSelected) {
  Maintained m;
  const std::vector<long> rows = m.AddSongs(10);
  const std::string clearOffer =
      "Clear Whole Database: You Are Trying Clear Alot of Songs, Would You Prefer to CLEAR Your "
      "Whole Database?";

  // Five of ten: removed without the offer.
  m.Answer({kYes});
  m.maintenance.RemoveSongs({rows.begin(), rows.begin() + 5}, 10);
  EXPECT_EQ(m.Asked(), (std::vector<std::string>{"Remove Song(s): Are you sure?"}));
  EXPECT_EQ(m.Count(), 5);
  EXPECT_EQ(m.library.prompts.Shown()[0].Icon, PromptIcon::Question);

  // Six of ten: the offer; No removes the six only (four of them exist).
  m.library.prompts.ClearShown();
  m.Answer({kYes, kNo});
  m.maintenance.RemoveSongs({rows.begin() + 4, rows.end()}, 10);
  EXPECT_EQ(m.Asked(), (std::vector<std::string>{"Remove Song(s): Are you sure?", clearOffer}));
  EXPECT_EQ(m.Count(), 0);
  EXPECT_EQ(m.reloads, 2);

  // Yes clears everything and offers the compaction.
  const std::vector<long> more = m.AddSongs(4);
  m.library.prompts.ClearShown();
  m.Answer({kYes, kYes, kYes});
  m.maintenance.RemoveSongs({more[0], more[1], more[2]}, 4);
  EXPECT_EQ(m.Asked(), (std::vector<std::string>{
                           "Remove Song(s): Are you sure?", clearOffer,
                           "Compact Database: A Compact after Clearing is adviseable, would you "
                           "like to Compact now?",
                           "Compact Completed: Compact Completed"}));
  EXPECT_EQ(m.Count(), 0);
  EXPECT_EQ(m.reloads, 3);
}

TEST(LibraryMaintenance, FlippingTwiceRestoresLongFieldsWhole) {
  Maintained m;
  const std::string longTitle = std::string(300, 'T') + " end";
  const long row = m.Add(longTitle, "Abba's", "SC-1", "/k/Abba - Waterloo.mp3");
  const long other = m.Add("Waterloo", "Abba", "SC-2", "/k/other.mp3");
  const std::vector<std::string> before = m.Fields(row);

  m.Answer({kYes});
  m.maintenance.FlipFields(FlipMode::TitleArtist, {row});
  EXPECT_EQ(m.Fields(row), (std::vector<std::string>{"Abba\xC2\xB4s", longTitle, "SC-1"}));
  EXPECT_EQ(m.Fields(other), (std::vector<std::string>{"Waterloo", "Abba", "SC-2"}));
  EXPECT_EQ(m.enabledStates, (std::vector<bool>{false, true}));
  EXPECT_EQ(m.searchModeLeft, 1);
  m.Answer({kYes});
  m.maintenance.FlipFields(FlipMode::TitleArtist, {row});
  EXPECT_EQ(m.Fields(row), before);
  EXPECT_EQ(m.Asked().front(), "Flip Information: Are You Sure?");
  m.maintenance.FlipFields(FlipMode::TitleId, {row});  // No
  EXPECT_EQ(m.Fields(row), before);
  EXPECT_EQ(m.reloads, 2);
}

TEST(LibraryMaintenance, PurgeDeletesCompanionGraphicsButNeverBesideAZip) {
  Maintained m;
  const std::string song = m.Touch("Song.mp3");
  const std::string graphics = m.Touch("SONG.CDG");  // found in any letter case
  const std::string zip = m.Touch("Pair.zip");
  const std::string zipNeighbour = m.Touch("Pair.cdg");
  const std::string gone = m.library.folder.File("Gone.mp3");  // its graphics stayed
  const std::string goneGraphics = m.Touch("Gone.cdg");
  const std::string kept = m.Touch("Kept.mp3");
  const std::string keptGraphics = m.Touch("Kept.cdg");
  const std::vector<long> rows = {m.Add("A", "", "", song), m.Add("B", "", "", zip),
                                  m.Add("C", "", "", gone)};
  m.Add("D", "", "", kept);

  m.Answer({kYes, kNo});
  m.maintenance.PurgeSongs(rows);
  EXPECT_TRUE(fs::exists(song));
  EXPECT_EQ(m.Count(), 4);

  m.library.prompts.ClearShown();
  m.Answer({kYes, kYes});
  m.maintenance.PurgeSongs(rows);
  EXPECT_EQ(m.Asked(),
            (std::vector<std::string>{
                "Purge Song(s): Are you sure, this will DELETE the files?",
                "Purge Song(s): This is absolutely irreversable and permanent, Are You Sure?"}));
  EXPECT_EQ(m.Count(), 1);
  EXPECT_EQ(m.reloads, 1);
  EXPECT_FALSE(fs::exists(song));
  EXPECT_FALSE(fs::exists(graphics));
  EXPECT_FALSE(fs::exists(zip));
  EXPECT_TRUE(fs::exists(zipNeighbour));
  EXPECT_FALSE(fs::exists(goneGraphics));
  EXPECT_TRUE(fs::exists(kept));
  EXPECT_TRUE(fs::exists(keptGraphics));
}

TEST(LibraryMaintenance, RemoveBadSongsTakesOnlySelectedMissingRows) {
  Maintained m;
  const long present = m.Add("Here", "", "", m.Touch("here.mp3"));
  const long missing = m.Add("Gone", "", "", m.library.folder.File("gone.mp3"));
  const long stream = m.Add("Stream", "", "", "http://example.invalid/song");
  const long unselected = m.Add("Also gone", "", "", "/none/else.mp3");

  m.Answer({kYes});
  m.maintenance.RemoveBadSongs({present, missing, stream});
  EXPECT_EQ(m.Asked(), (std::vector<std::string>{
                           "Remove Bad Song(s): Removes Missing (Red) Song(s), Are you sure?"}));
  EXPECT_TRUE(m.Fields(missing).empty());
  EXPECT_FALSE(m.Fields(present).empty());
  EXPECT_FALSE(m.Fields(stream).empty());
  EXPECT_FALSE(m.Fields(unselected).empty());
  m.Answer({kYes});
  m.maintenance.RemoveBadSongs({});
  EXPECT_EQ(m.Count(), 3);
  EXPECT_EQ(m.reloads, 2);
}

TEST(LibraryMaintenance, SearchAndReplaceUpperCasesOnlyRowsHoldingTheText) {
  Maintained m;
  const long tender = m.Add("Love Me Tender", "Elvis Presley", "SC-1", "/k/1.mp3");
  const long percent = m.Add("100% Pure Love", "Frank", "x", "/k/2.mp3");
  const long miles = m.Add("1000 Miles", "Vanessa", "x", "/k/3.mp3");
  const long dont = m.Add("Don't Stop", "Fleetwood Mac", "x", "/k/4.mp3");

  std::vector<std::string> steps;
  ReplaceProgress progress;
  int opened = 0, pumped = 0, closed = 0;
  progress.Open = [&] { ++opened; };
  progress.Step = [&](const std::string& text, int percent) {
    steps.push_back(text + " " + std::to_string(percent));
  };
  progress.Pump = [&] { ++pumped; };
  progress.Close = [&] { ++closed; };

  m.library.prompts.QueueInput("love");
  m.library.prompts.QueueInput("heart");
  m.maintenance.SearchAndReplace(progress);
  EXPECT_EQ(m.Asked(), (std::vector<std::string>{"Search And Replace: Search For:",
                                                 "Search And Replace: Replace With:",
                                                 "Search and Replace: Done"}));
  EXPECT_EQ(m.library.prompts.Shown()[0].MaxLength, 99);
  EXPECT_EQ(m.Fields(tender), (std::vector<std::string>{"HEART ME TENDER", "ELVIS PRESLEY", "SC-1"}));
  EXPECT_EQ(m.Fields(percent), (std::vector<std::string>{"100% PURE HEART", "FRANK", "X"}));
  EXPECT_EQ(steps, (std::vector<std::string>{"1 / 2 50", "2 / 2 100"}));
  EXPECT_EQ(std::vector<int>({opened, pumped, closed}), std::vector<int>({1, 2, 1}));

  // "%" matches only itself: "1000 Miles" is not upper-cased.
  m.library.prompts.QueueInput("100%");
  m.library.prompts.QueueInput("All");
  m.maintenance.SearchAndReplace(progress);
  EXPECT_EQ(m.Fields(percent), (std::vector<std::string>{"ALL PURE HEART", "FRANK", "X"}));
  EXPECT_EQ(m.Fields(miles), (std::vector<std::string>{"1000 Miles", "Vanessa", "x"}));

  // An apostrophe finds the accented title; a replacement holding the search
  // text ends.
  m.library.prompts.QueueInput("don't");
  m.library.prompts.QueueInput("Don't Don't");
  m.maintenance.SearchAndReplace(progress);
  EXPECT_EQ(m.Fields(dont)[0], "DON\xC2\xB4T DON\xC2\xB4T STOP");
  EXPECT_EQ(m.reloads, 3);

  // An empty search text ends at once; no rows, no progress window.
  m.library.prompts.ClearShown();
  m.library.prompts.QueueInput("");
  m.maintenance.SearchAndReplace(progress);
  m.library.prompts.QueueInput("zzz");
  m.library.prompts.QueueInput("y");
  m.maintenance.SearchAndReplace(progress);
  EXPECT_EQ(m.library.prompts.Shown().size(), 4u);
  EXPECT_EQ(opened, 3);
  EXPECT_EQ(m.reloads, 4);
  // The show goes on while it pumps: a History row recorded then is in the
  // file at once (another connection sees it), and the replacing goes on.
  DbConnection other;
  ASSERT_TRUE(other.Open(m.library.database.LibraryPath(), DbAccess::ReadOnly));
  int64_t seen = -1;
  progress.Pump = [&] {
    if (seen >= 0) return;
    m.library.database.Execute("INSERT INTO History (Singer, SongPath) VALUES ('Ann', '/k/1.mp3');");
    other.Query("SELECT count(*) FROM History;", [&](const DbRow& row) {
      seen = row.Integer(0);
      return false;
    });
  };
  m.library.prompts.QueueInput("heart");
  m.library.prompts.QueueInput("love");
  m.maintenance.SearchAndReplace(progress);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(m.Fields(tender)[0], "LOVE ME TENDER");
  EXPECT_EQ(m.Fields(percent)[0], "ALL PURE LOVE");
}

TEST(LibraryMaintenance, ClearAsksThriceAndKeepsHistory) {
  Maintained m;
  m.AddSongs(3);
  ASSERT_TRUE(m.library.database.Execute(
      "INSERT INTO History (Title, Singer, SongPath, Year1) VALUES ('a', 'Ann', '/a', '1');"));
  m.Answer({kYes, kYes, kYes, kNo});
  m.maintenance.ClearLibrary();
  EXPECT_EQ(m.Asked(),
            (std::vector<std::string>{
                "Clear Database: Are you sure, this will CLEAR the database?",
                "Clear Database: This will take a bit of time and you must be patient,\nit will "
                "appear like it is frozen for a small while\nand you must be sure you want to do "
                "this...\n\nAre You Sure?",
                "Clear Database: This is irreversable, Are You Sure?",
                "Compact Database: A Compact after Clearing is adviseable, would you like to "
                "Compact now?"}));
  EXPECT_EQ(m.Count(), 0);
  DbResult history;
  ASSERT_TRUE(history.Open(m.library.database.LibraryPath(), "SELECT * FROM History;"));
  EXPECT_EQ(history.RecordCount(), 1);

  m.library.prompts.ClearShown();
  m.Answer({kYes});
  m.maintenance.CompactDatabase();
  ASSERT_EQ(m.Asked().size(), 2u);
  EXPECT_EQ(m.Asked()[0],
            "Compact Database: A Compact Optimizes and Speeds up your database\nafter performing "
            "alot of operations\nbut may take a little while to perform.\n\nAre you prepared to "
            "Compact the Database?\n(Wait for the completion prompt!)");
  EXPECT_EQ(m.Asked()[1], "Compact Completed: Compact Completed");
  EXPECT_TRUE(m.library.database.LibraryOpen());
  EXPECT_EQ(m.reloads, 2);
}

TEST(LibraryMaintenance, EditItemLoadsCutFieldsAndUpdatesEveryRowOfThePath) {
  Maintained m;
  const long row = m.Add(std::string(250, 'x'), "Abba", "SC-1", "/k/Don't.mp3", "1974",
                          "ünïcödé " + std::string(300, 'c'));
  const long twin = m.Add("Twin", "", "", "/k/Don't.mp3");
  EXPECT_FALSE(m.maintenance.LoadEditItem(0));
  EXPECT_FALSE(m.maintenance.LoadEditItem(row + 100));

  std::optional<EditItemForm> form = m.maintenance.LoadEditItem(row);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->Path, "/k/Don't.mp3");
  EXPECT_EQ(form->Fields.Title, std::string(199, 'x'));
  EXPECT_EQ(form->Fields.Year, "1974");
  EXPECT_EQ(form->Fields.Comment.rfind("ünïcödé ", 0), 0u);
  EXPECT_EQ(form->Fields.Comment.size(), 254u + 4);  // characters, not bytes

  form->Fields = {"It's", "Abba", "SC-9", "19741974197", "new"};
  m.maintenance.UpdateEditItem(*form);
  EXPECT_EQ(m.Fields(row), (std::vector<std::string>{"It\xC2\xB4s", "Abba", "SC-9"}));
  EXPECT_EQ(m.Fields(twin), m.Fields(row));
  EXPECT_EQ(m.maintenance.LoadEditItem(twin)->Fields.Year, "197419741");
  EXPECT_EQ(m.reloads, 1);

  // Fields the host did not touch keep what the import stored, however
  // long; the one changed is written as typed.
  const long tagged = m.Add(std::string(250, 't'), "Abba", "ID", "/k/tagged.mp3", "2004-05-06",
                            std::string(300, 'c'));
  form = m.maintenance.LoadEditItem(tagged);
  ASSERT_TRUE(form);
  form->Fields.Artist = "ABBA";
  m.maintenance.UpdateEditItem(*form);
  const std::optional<EditItemForm> again = m.maintenance.LoadEditItem(tagged);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Stored.Title, std::string(250, 't'));
  EXPECT_EQ(again->Stored.Artist, "ABBA");
  EXPECT_EQ(again->Stored.Year, "2004-05-06");
  EXPECT_EQ(again->Stored.Comment, std::string(300, 'c'));
}

}  // namespace
}  // namespace lyricade
