// The import of song files: names read in each layout, tags in each version
// and encoding, the insert statement, and folder imports into a real library
// (order, apostrophes, counts, abort, a decimal-comma locale).
#include "library/library_import.h"
#include "library/format_sample_preview.h"

#include <gtest/gtest.h>

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "library/library_fixture.h"
#include "platform/db/db_connection.h"
#include "library/tag_reader.h"
#include "library/tagged_mp3.h"
#include "support/test_midi.h"
#include "support/test_media.h"
#include "platform/db/db_result.h"

namespace lyricade {
namespace {

using testing::TagKind;
using testing::TagTexts;

TagTexts Texts(std::string title, std::string artist, std::string album = {}, std::string year = {},
               std::string comment = {}) {
  return {std::move(title), std::move(artist), std::move(album), std::move(year), std::move(comment)};
}

struct Row {
  std::string Title, Artist, Id, Year, Path, Comment;
  bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{" << row.Title << " | " << row.Artist << " | " << row.Id << " | " << row.Year
             << " | " << row.Path << " | " << row.Comment << "}";
}

std::vector<Row> Rows(LibraryDatabase& database) {
  std::vector<Row> rows;
  DbResult result;
  if (!result.Open(database.LibraryPath(), "SELECT * FROM Items ORDER BY ItemNum")) return rows;
  for (long r = 0; result.MoveTo(r); ++r)
    rows.push_back({result.Text("Title").value_or("?"), result.Text("Artist").value_or("?"),
                    result.Text("ID").value_or("?"), result.Text("Year1").value_or("?"),
                    result.Text("SongPath").value_or("?"), result.Text("Comments1").value_or("?")});
  return rows;
}

TEST(FileNames, PartsAreAssignedByEachLayout) {
  const auto parse = [](const char* path, int format) {
    const ParsedFileName p = ParseFileName(path, FileNameFormatFrom(format));
    return std::vector<std::string>{p.Id, p.Title, p.Artist};  // ID, title, artist
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(parse("/s/Artist_-_Song_Title.mp3", 2), (V{"", "Song Title", "Artist"}));
  EXPECT_EQ(parse("/s/SC8125-05 - Abba - Waterloo.zip", 0), (V{"SC8125-05", "Abba", "Waterloo"}));
  EXPECT_EQ(parse("/s/SC8125-05 - Abba - Waterloo.zip", 3), (V{"SC8125-05", "Waterloo", "Abba"}));
  EXPECT_EQ(parse("/s/Waterloo - Abba - SC1.mp3", 1), (V{"SC1", "Waterloo", "Abba"}));
  for (int format = 0; format < kFileNameFormatCount; ++format)
    EXPECT_EQ(parse("/s/My_Song.mp3", format), (V{"", "My_Song", ""})) << format;
  EXPECT_EQ(parse("/s/SC100 - Abba.mp3", 3), (V{"SC100", "", "Abba"}));
  // Only the separator's blanks go; a third " - " stays in part 3.
  EXPECT_EQ(parse("/s/ A  - B - C - D.mp3", 1), (V{"C - D", " A ", "B"}));
  EXPECT_EQ(parse("/s/.mp3", 0), (V{"", "", ""}));
  EXPECT_EQ(parse("/s.d/No Dot", 2), (V{"", "No Dot", ""}));
  EXPECT_EQ(FileNameFormatFrom(7), FileNameFormat::AlbumTitleArtist);
  EXPECT_STREQ(FileNameFormatCaption(FileNameFormat::AlbumArtistTitle), "Album - Artist ( - Title )");
}

TEST(InsertStatement, IsTheImportsStatementWithLocaleFreeNumbers) {
  NewLibraryItem item;
  item.Title = "Waterloo";
  item.Artist = "Abba";
  item.Path = "/Songs/Abba - Waterloo.mp3";
  EXPECT_EQ(InsertItemStatement(item),
            "INSERT INTO Items (Title, Artist, ID, Year1, SongLen, SongPath, Type1, BPM, Comments1, "
            "CollectionNum) VALUES('Waterloo', 'Abba', '', '', '', '/Songs/Abba - Waterloo.mp3', 2, "
            "0.000000, '', 1);");
  item.Title = "Don't Stop";
  item.Comment = "it's";
  item.Path = "/Rock'n'Roll/x.mp3";
  item.Tempo = 123.5;
  const std::string sql = InsertItemStatement(item);
  EXPECT_NE(sql.find("VALUES('Don\xC2\xB4t Stop'"), std::string::npos);
  EXPECT_NE(sql.find("'/Rock''n''Roll/x.mp3', 2, 123.500000, 'it\xC2\xB4s', 1);"), std::string::npos);
  EXPECT_EQ(SqlReal(-2.25), "-2.250000");
  EXPECT_EQ(SqlReal(std::numeric_limits<double>::infinity()), "0.000000");
}

class TagsTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_FALSE(testing::ToneMp3().empty()) << "no MP3 encoder"; }
  ImportedFields Import(const std::string& name, TagKind kind, const TagTexts& texts,
                        TagLib::String::Type encoding = TagLib::String::UTF8) {
    const std::string path = folder_.File(name);
    EXPECT_TRUE(testing::WriteTaggedMp3(path, kind, texts, encoding));
    return ReadImportFields(path, FileNameFormat::ArtistTitleAlbum, true);
  }
  testing::TestFolder folder_;
};

TEST_F(TagsTest, EveryVersionAndEncodingReadsAsUtf8) {
  const TagTexts accents{"Caf\xC3\xA9 D\xC3\xA9j\xC3\xA0 Vu", "Bj\xC3\xB6rk", "D\xC3\xA9" "but", "1993",
                         "na\xC3\xAFve"};
  for (auto [kind, encoding] :
       {std::pair{TagKind::V24, TagLib::String::UTF8}, {TagKind::V24, TagLib::String::UTF16},
        {TagKind::V23, TagLib::String::UTF16}, {TagKind::V23, TagLib::String::Latin1},
        {TagKind::V1, TagLib::String::Latin1}}) {
    SCOPED_TRACE(static_cast<int>(kind) * 10 + static_cast<int>(encoding));
    const ImportedFields fields = Import("x - y.mp3", kind, accents, encoding);
    EXPECT_TRUE(fields.FromTag);
    EXPECT_EQ(fields.Title, accents.Title);
    EXPECT_EQ(fields.Artist, accents.Artist);
    EXPECT_EQ(fields.Id, accents.Album);
    EXPECT_EQ(fields.Year, "1993");
    EXPECT_EQ(fields.Comment, accents.Comment);
  }
  const std::string old = folder_.File("old.mp3");
  ASSERT_TRUE(testing::WriteV22TaggedMp3(old, "Old Title", "Old Artist", "1971"));
  const ImportedFields fields = ReadImportFields(old, FileNameFormat::ArtistTitleAlbum, true);
  EXPECT_TRUE(fields.FromTag);
  EXPECT_EQ(fields.Title, "Old Title");
  EXPECT_EQ(fields.Artist, "Old Artist");
  EXPECT_EQ(fields.Year, "1971");
}

TEST_F(TagsTest, EmptyTitlesLimitsAndCleaning) {
  ImportedFields fields = Import("Some_Artist - Some_Song.MP3", TagKind::V24, Texts("", "Artist"));
  EXPECT_TRUE(fields.FromTag) << "an upper-case extension is read like .mp3";
  EXPECT_EQ(fields.Title, "Some_Artist - Some_Song") << "the base name, underscores kept";

  fields = Import("a.mp3", TagKind::V24, Texts("AC/DC?", "<a>|b*c\\d\te\nf", "", "2004-05-06 12:00"));
  EXPECT_EQ(fields.Title, "AC DC ");
  EXPECT_EQ(fields.Artist, " a  b c d e f");
  EXPECT_EQ(fields.Year, "2004-05-06") << "ten characters";

  // Limits in bytes, never inside a character: 100 two-byte letters.
  std::string long_;
  for (int i = 0; i < 100; ++i) long_ += "\xC3\xA9";
  fields = Import("b.mp3", TagKind::V24, {long_, long_ + long_, long_ + long_, "", long_ + long_});
  EXPECT_EQ(fields.Title.size(), 178u);
  EXPECT_EQ(fields.Artist.size(), 198u);
  EXPECT_EQ(fields.Id.size(), 196u);
  EXPECT_EQ(fields.Comment.size(), 254u);

  // Tags ignored, no tag, or not an MP3: the name is read.
  const std::string tagged = folder_.File("Name Artist - Name Title.mp3");
  ASSERT_TRUE(testing::WriteTaggedMp3(tagged, TagKind::V24, Texts("Tag Title", "Tag Artist")));
  fields = ReadImportFields(tagged, FileNameFormat::ArtistTitleAlbum, false);
  EXPECT_FALSE(fields.FromTag);
  EXPECT_EQ(fields.Title, "Name Title");
  const std::string wma = folder_.File("Wma Artist - Wma Title.wma");
  ASSERT_TRUE(testing::WriteBytes(wma, testing::ReadWhole(tagged)));
  EXPECT_EQ(ReadImportFields(wma, FileNameFormat::ArtistTitleAlbum, true).Artist, "Wma Artist");
  const std::string plain = folder_.File("Plain Artist - Plain Title.mp3");
  ASSERT_TRUE(testing::WriteBytes(plain, testing::ToneMp3()));
  fields = ReadImportFields(plain, FileNameFormat::ArtistTitleAlbum, true);
  EXPECT_FALSE(fields.FromTag);
  EXPECT_EQ(fields.Title, "Plain Title");
  EXPECT_FALSE(ReadSongTags(folder_.File("missing.mp3")));
}

class FolderImport : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(library_.Open()); }
  std::string Songs() const { return library_.folder.Path() + "Rock'n'Roll Songs"; }
  void Song(const std::string& relative, const std::string& bytes = "not audio") {
    std::filesystem::create_directories(std::filesystem::path(Songs() + "/" + relative).parent_path());
    ASSERT_TRUE(testing::WriteBytes(Songs() + "/" + relative, bytes));
  }
  testing::LibraryFolder library_;
  LibraryImport import_{library_.database};
};

TEST_F(FolderImport, EveryFileBecomesOneRowFolderByFolder) {
  const std::string tagged = library_.folder.File("tagged.mp3");
  ASSERT_TRUE(testing::WriteTaggedMp3(tagged, TagKind::V23, {"Don't Stop", "Fleet", "SC1", "1977", "hit"}));
  Song("Zed - Don't Go.ZIP");
  Song("sub/A - B.mp3", testing::ReadWhole(tagged));
  Song("Abba - Waterloo.mp3");
  Song("readme.txt");
  import_.Settings().Format = FileNameFormat::ArtistTitleAlbum;

  std::vector<std::string> captions, files;
  ImportProgress progress;
  progress.Caption = [&](const std::string& text) { captions.push_back(text); };
  progress.File = [&](const std::string& path) { files.push_back(path); };
  EXPECT_EQ(import_.ImportFolder(Songs(), progress), 3);
  EXPECT_EQ(captions, (std::vector<std::string>{"Add Folder: ", "Add Folder: " + Songs() + "/sub"}));
  EXPECT_EQ(files.size(), 3u);

  const std::string accented = "Don\xC2\xB4t";
  EXPECT_EQ(Rows(library_.database),
            (std::vector<Row>{{"Waterloo", "Abba", "", "", Songs() + "/Abba - Waterloo.mp3", ""},
                              {accented + " Go", "Zed", "", "", Songs() + "/Zed - Don't Go.ZIP", ""},
                              {accented + " Stop", "Fleet", "SC1", "1977", Songs() + "/sub/A - B.mp3", "hit"}}));
  // Found again by its exact path, apostrophes and all.
  EXPECT_EQ(library_.database.FindItemByPath(Songs() + "/Zed - Don't Go.ZIP"), 2);

  // The same folder twice adds every file twice; the count box says so.
  EXPECT_EQ(import_.ImportFolder(Songs()), 3);
  EXPECT_EQ(Rows(library_.database).size(), 6u);
  ShowImportCount(library_.prompts, 3);
  ShowImportCount(library_.prompts, 0);
  ASSERT_EQ(library_.prompts.Shown().size(), 1u);
  EXPECT_EQ(library_.prompts.Shown()[0].Caption, "Import Information");
  EXPECT_EQ(library_.prompts.Shown()[0].Text, "You have imported 3 songs to your library.");
}

TEST_F(FolderImport, TakesEveryVideoKindAndNoHiddenFile) {
  for (const char* name : {"a.mkv", "b.WEBM", "c.mov", "d.mp4", "e.avi", "f.mkv.part", "._a.mkv",
                           ".hidden.mp3", ".Trash/g.mp3", "._sub/h.mp3"})
    Song(name);
  EXPECT_EQ(import_.ImportFolder(Songs()), 5);
}

// Ogg, FLAC, M4A, Opus and WAV files are songs beside their graphics (any
// letter case), named from their own tags like an MP3; alone they are not.
TEST_F(FolderImport, TakesNewerAudioKindsOnlyBesideTheirGraphics) {
  for (const char* name : {"a.ogg", "a.CDG", "b.wav", "c.M4A", "c.cdg", "d.opus", "d.cdg"}) Song(name);
  const std::string flac = Songs() + "/Tagged.flac";
  ASSERT_TRUE(testing::MakeFlac(flac, 0.5));
  {
    TagLib::FileRef file(flac.c_str());
    ASSERT_FALSE(file.isNull());
    file.tag()->setTitle("Flac <Title>");
    file.tag()->setArtist("Flac Artist");
    ASSERT_TRUE(file.save());
  }
  Song("Tagged.cdg");
  // A karaoke MIDI file is named by its "@T" headers, else by its file name.
  ASSERT_TRUE(testing::MakeKaraokeMidi(Songs() + "/k.kar", {"@TFly Away", "@TThe Singers"}, {{"/Fly"}}));
  Song("plain.MID", "MThd");
  EXPECT_EQ(import_.ImportFolder(Songs()), 6);
  std::vector<std::string> titles;
  for (const Row& row : Rows(library_.database)) titles.push_back(row.Title + "/" + row.Artist);
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::string>{"Flac  Title /Flac Artist", "Fly Away/The Singers", "a/",
                                              "c/", "d/", "plain/"}));
}

TEST_F(FolderImport, CountsOnlyRowsWrittenAndKeepsThemAfterAnAbort) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.zip", "e.zip", "more/f.mp3"}) Song(name);
  // A store that refuses one of the rows: the count leaves it out.
  ASSERT_TRUE(library_.database.Execute(
      "CREATE TRIGGER refuse BEFORE INSERT ON Items WHEN NEW.Title = 'b' BEGIN SELECT RAISE(ABORT, 'no'); END;"));
  int files = 0;
  ImportProgress progress;
  progress.File = [&](const std::string&) { ++files; };
  progress.Aborted = [&] { return files >= 2; };  // "Abort" while b.mp3 is imported
  EXPECT_EQ(import_.ImportFolder(Songs(), progress), 2);
  std::vector<std::string> titles;
  for (const Row& row : Rows(library_.database)) titles.push_back(row.Title);
  EXPECT_EQ(titles, (std::vector<std::string>{"a", "d"})) << "committed: a, then one file of *.zip";

  LibraryImport closed(library_.database);
  library_.database.Close();
  EXPECT_EQ(closed.ImportFolder(Songs()), 0);
  EXPECT_FALSE(closed.ImportSingleFile(Songs() + "/a.mp3"));
}

// The show goes on during an import: a History row recorded from a pump is
// committed at once, not inside the import's batch, and another program can
// write the library while the import is half way.
TEST_F(FolderImport, OtherWritesDuringAnImportCommitOnTheirOwn) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) Song(name);
  DbConnection other;
  ASSERT_TRUE(other.Open(library_.database.LibraryPath()));
  int files = 0;
  bool historyCommitted = false, otherWrote = false;
  ImportProgress progress;
  progress.File = [&](const std::string&) {
    if (++files != 2) return;
    ASSERT_TRUE(library_.database.Execute(
        "INSERT INTO History (Title, SongPath, Singer) VALUES ('Sung', '/s.mp3', 'Ana');"));
    historyCommitted = !library_.database.Library().InTransaction();
    otherWrote = other.Execute("INSERT INTO History (Title, SongPath, Singer) VALUES "
                               "('Other', '/o.mp3', 'Bo');");
  };
  EXPECT_EQ(import_.ImportFolder(Songs(), progress), 3);
  EXPECT_TRUE(historyCommitted);
  EXPECT_TRUE(otherWrote);
  EXPECT_EQ(Rows(library_.database).size(), 3u);
  long history = 0;
  other.Query("SELECT count(*) FROM History;", [&](const DbRow& row) {
    history = static_cast<long>(row.Integer(0));
    return false;
  });
  EXPECT_EQ(history, 2);
}

// Under a locale with a decimal comma "%f" writes 0,000000, which made the
// statement's value list one longer than its column list.
TEST_F(FolderImport, ADecimalCommaLocaleChangesNothing) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 not generated";
  char printed[16];
  std::snprintf(printed, sizeof printed, "%f", 0.0);
  Song("one.mp3");
  Song("two.zip");
  const long count = import_.ImportFolder(Songs());
  const bool single = import_.ImportSingleFile(Songs() + "/one.mp3");
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_STREQ(printed, "0,000000") << "the locale really has a decimal comma";
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(single);
  EXPECT_EQ(Rows(library_.database).size(), 3u);
}

}  // namespace
}  // namespace lyricade

namespace lyricade {
namespace {

TEST(FormatSamplePreview, ThePagePreviewsTheSampleAsTheHostAnswers) {
  FormatSamplePreview zip("/songs/SC8125-05 - Abba - Waterloo.zip");
  EXPECT_FALSE(zip.SampleIsMp3());
  EXPECT_EQ(zip.Status(), "Not a MP3 file, go to Step 3.");
  EXPECT_EQ(zip.Result().Id, "SC8125-05");
  EXPECT_EQ(zip.Result().Title, "Abba");
  zip.SetFormat(FileNameFormat::AlbumArtistTitle);
  EXPECT_EQ(zip.Result().Artist, "Abba");
  EXPECT_EQ(zip.Result().Title, "Waterloo");
  EXPECT_EQ(zip.Status(), "Not a MP3 file, go to Step 3.");
  EXPECT_EQ(zip.Finish().Format, FileNameFormat::AlbumArtistTitle);

  // An MP3 sample without a tag; ignoring tags keeps the status line.
  FormatSamplePreview mp3("/songs/Artist_-_Song_Title.MP3");
  EXPECT_TRUE(mp3.SampleIsMp3());
  EXPECT_EQ(mp3.Status(), "No ID3 Tag Present!");
  mp3.SetIgnoreTags(true);
  mp3.SetFormat(FileNameFormat::ArtistTitleAlbum);
  EXPECT_EQ(mp3.Result().Artist, "Artist");
  EXPECT_EQ(mp3.Result().Title, "Song Title");
  EXPECT_EQ(mp3.Status(), "No ID3 Tag Present!");
  EXPECT_TRUE(mp3.Finish().IgnoreTags);
}

}  // namespace
}  // namespace lyricade
