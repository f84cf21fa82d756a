// Requests from the floor through the host controller: the library lookup,
// the singer found without regard to letter case, the list file written off
// the UI thread, and "Play on Request" with and without "Next Start Timer".
#include <gtest/gtest.h>

#include <sstream>

#include <QCoreApplication>

#include "app/request_desk.h"
#include "app/song_requests.h"
#include "library/library_fixture.h"
#include "library/search_index.h"
#include "playback/playback_test_support.h"

namespace lyricade {
namespace {

class SongRequests : public testing::ShowFixture {
protected:
  void SetUp() override {
    ShowFixture::SetUp();
    ASSERT_TRUE(library.Open());
    first = MakeSong("first", 1);
    second = MakeSong("it's second", 1);
    library.Add({"First Song", "The Band", "DEMO-01", first, "1999", "a comment"});
    library.Add({"Second Song", "Other Band", "DEMO-02", second, "2001", ""});
  }
  bool Request(const std::string& singer, const std::string& path, int key = 0,
               const SearchIndex* index = nullptr) {
    return QueueSongRequest(*show, library.database, index, {path, singer, key});
  }
  std::string ListFile() {
    show->FlushRotationFile();
    std::ifstream in(show->RotationFile(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  testing::LibraryFolder library;
  std::string first;
  std::string second;
};

TEST_F(SongRequests, SongsQueueUnderTheSingerWhateverTheLetterCase) {
  int refreshes = 0;
  QObject::connect(&*show, &Show::rotationChanged, [&] { ++refreshes; });
  ASSERT_TRUE(Request("alice", first, 2));

  ASSERT_TRUE(Request("", first));
  EXPECT_FALSE(Request("alice", "/no/such/song.mp3"));
  EXPECT_FALSE(Request("alice", "x' OR '1'='1"));
  // With the library's index, unknown paths are dropped before any query
  // and known ones still queue.
  const std::unique_ptr<SearchIndex> index = SearchIndex::Build(library.database.LibraryPath());
  ASSERT_TRUE(index);
  EXPECT_FALSE(index->MayHoldPath("/no/such/song.mp3"));
  EXPECT_FALSE(Request("alice", "/no/such/song.mp3", 0, index.get()));
  EXPECT_TRUE(index->MayHoldPath(second));
  ASSERT_TRUE(Request("ALICE", second, -1, index.get()));
  // A burst refreshes the views and the page once, in the next turn.
  EXPECT_EQ(refreshes, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(refreshes, 1);

  const SingerRotation& rotation = show->Rotation();
  ASSERT_EQ(rotation.Count(), 2);
  EXPECT_EQ(rotation.Singers()[0].Name, "alice");
  EXPECT_EQ(rotation.Singers()[1].Name, "");
  const auto& playlist = rotation.Singers()[0].Playlist;
  ASSERT_EQ(playlist.size(), 2u);
  EXPECT_EQ(playlist[0].Title, "First Song");
  EXPECT_EQ(playlist[0].Artist, "The Band");
  EXPECT_EQ(playlist[0].Id, "DEMO-01");
  EXPECT_EQ(playlist[0].Year, "1999");
  EXPECT_EQ(playlist[0].Comment, "") << "a request carries no comment";
  EXPECT_EQ(playlist[0].Key, 2);
  EXPECT_EQ(playlist[1].Path, second) << "found with its apostrophe";
  EXPECT_EQ(playlist[1].Key, -1);
  EXPECT_EQ(rotation.CurrentSinger(), -1) << "without \"Play on Request\" nothing moves";
  EXPECT_FALSE(show->SongPlaying());

  std::string expected;
  for (const std::string& line : rotation.ListFileLines()) expected += line + "\r\n";
  EXPECT_EQ(ListFile(), expected);
}

TEST_F(SongRequests, PlayOnRequestStartsTheNextSingerOnlyWhenTheShowIsIdle) {
  settings.PlayOnRequest = true;
  settings.RemoveEmptySingers = false;
  show->Rotation().AppendSinger("Nobody yet");
  ASSERT_TRUE(Request("Bo", first));
  EXPECT_TRUE(show->SongPlaying()) << "the next singer with songs sings at once";
  EXPECT_TRUE(show->Rotation().Singers()[1].Playlist.empty()) << "the song was taken";
  ASSERT_TRUE(Request("Cy", second));
  EXPECT_EQ(show->Rotation().Singers()[2].Playlist.size(), 1u) << "queued while a song plays";
  EXPECT_EQ(show->Rotation().CurrentSinger(), 1);
}

TEST_F(SongRequests, PlayOnRequestWithTheTimerAnnouncesFirst) {
  settings.PlayOnRequest = true;
  settings.NextStartTimer = true;
  ASSERT_TRUE(Request("Bo", first));
  EXPECT_FALSE(show->SongPlaying());
  EXPECT_TRUE(show->CountdownActive());
  EXPECT_EQ(show->LastAnnouncement(), (std::vector<std::string>{"Bo", "First Song", "The Band"}));
  // The card shows: the next request waits its turn.
  ASSERT_TRUE(Request("Cy", second));
  EXPECT_EQ(show->Rotation().CurrentSinger(), 0);
  EXPECT_EQ(show->Rotation().Singers()[0].Playlist.size(), 1u);
}

TEST_F(SongRequests, WithApprovalOnlyAcceptedRequestsReachTheRotationAndTheWaitingSurviveARestart) {
  RotationOptions options;
  options.ApproveRequests = true;
  show->Rotation().SetOptions(options);
  RequestDesk desk(*show, library.database, folder.Path());
  desk.SetClock([] { return int64_t{1700000000}; });
  ASSERT_TRUE(desk.Receive({first, "Ana", 2}, "Request client"));
  ASSERT_TRUE(desk.Receive({second, "Bo", 0}, "Request page 10.0.0.7"));
  ASSERT_TRUE(desk.Receive({first, "Cy", 0}, "Request page 10.0.0.8"));
  EXPECT_FALSE(desk.Receive({"/no/such/song.mp3", "Cy", 0}, "Request client"));
  EXPECT_EQ(show->Rotation().Count(), 0) << "nothing reaches the rotation before the host says so";
  ASSERT_EQ(desk.Approvals().Pending().size(), 3u);
  EXPECT_EQ(desk.Approvals().Pending()[1].Title, "Second Song");
  EXPECT_EQ(desk.Approvals().Pending()[1].From, "Request page 10.0.0.7");

  ASSERT_TRUE(desk.Accept(desk.Approvals().Pending()[0].Id));
  ASSERT_TRUE(desk.Reject(desk.Approvals().Pending()[0].Id));
  ASSERT_EQ(show->Rotation().Count(), 1);
  EXPECT_EQ(show->Rotation().Singers()[0].Name, "Ana");
  EXPECT_EQ(show->Rotation().Singers()[0].Playlist[0].Key, 2);

  RequestDesk restarted(*show, library.database, folder.Path());
  restarted.Load();
  ASSERT_EQ(restarted.Approvals().Pending().size(), 1u);
  EXPECT_EQ(restarted.Approvals().Pending()[0].Singer, "Cy");
  EXPECT_EQ(restarted.AcceptAll(), 1);
  EXPECT_EQ(show->Rotation().Count(), 2);

  // With the option off a request takes the plain way at once.
  show->Rotation().SetOptions(RotationOptions{});
  ASSERT_TRUE(restarted.Receive({second, "Di", 0}, "Request client"));
  EXPECT_EQ(show->Rotation().Count(), 3);
  EXPECT_TRUE(restarted.Approvals().Pending().empty());
}

}  // namespace
}  // namespace lyricade
