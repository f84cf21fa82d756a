#include "playback/song_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/test_folder.h"
#include "playback/song_transport.h"
#include "platform/media/media_graph.h"

namespace lyricade {
namespace {

TEST(SongLocation, KindsFromTheLocationText) {
  EXPECT_EQ(KindOfLocation("http://AccountID=7&SongID=42"), SongKind::Streamed);
  EXPECT_EQ(KindOfLocation("/songs/a.b.ZIP"), SongKind::Zipped);
  EXPECT_EQ(KindOfLocation("/songs/Song.MP3"), SongKind::Local);
  EXPECT_EQ(KindOfLocation("/songs/archive.backup"), SongKind::Local);
  EXPECT_EQ(KindOfLocation("/zips.zip/song"), SongKind::Local);
}

TEST(SongLocation, GraphicsReplaceExactlyThreeCharacters) {
  EXPECT_EQ(GraphicsPathFor("/s/Song.mp3"), "/s/Song.cdg");
  EXPECT_EQ(GraphicsPathFor("/s/Track.mpeg"), "/s/Track.mcdg");
  EXPECT_EQ(GraphicsPathFor("ab"), "");
  EXPECT_EQ(GraphicsPathFor("/s/Song.FLAC"), "/s/Song.cdg");
  EXPECT_EQ(GraphicsPathFor("/s/Song.opus"), "/s/Song.cdg");
  EXPECT_EQ(GraphicsPathFor("/s/Song.ogg"), "/s/Song.cdg");
}

TEST(SongLocation, CompanionVideosOnlyForZipAndMp3) {
  EXPECT_EQ(CompanionVideoCandidates("/s/Song.mp3"),
            (std::vector<std::string>{"/s/Song.avi", "/s/Song.mpg", "/s/Song.wmv"}));
  EXPECT_EQ(CompanionVideoCandidates("/s/Song.ZIP").front(), "/s/Song.avi");
  EXPECT_TRUE(CompanionVideoCandidates("/s/Song.wma").empty());
  EXPECT_TRUE(CompanionVideoCandidates("/s/Song.avi").empty());
}

// Ripped libraries name files in any case; Windows finds them all the same.
TEST(SongLocation, GraphicsAndVideosAreFoundWhateverTheLetterCase) {
  testing::TestFolder folder;
  const std::string dir = folder.Path();
  for (const char* name : {"SONG.MP3", "SONG.CDG", "Mixed.mp3", "Mixed.CDG", "Both.mp3", "Both.Cdg",
                           "Both.CDG", "Both.cdg", "Odd.mp3", "Odd.Cdg", "Odd.cDG", "Clip.mp3",
                           "Clip.WMV", "Clip.Mpg"})
    std::ofstream(dir + name) << name;
  std::filesystem::create_directories(dir + "Dir.CDG");

  EXPECT_EQ(FindGraphicsFor(dir + "SONG.MP3"), dir + "SONG.CDG");
  EXPECT_EQ(FindGraphicsFor(dir + "Mixed.mp3"), dir + "Mixed.CDG");
  EXPECT_EQ(FindGraphicsFor(dir + "Both.mp3"), dir + "Both.cdg") << "the exact name wins";
  EXPECT_EQ(FindGraphicsFor(dir + "Odd.mp3"), dir + "Odd.Cdg") << "else the first in byte order";
  EXPECT_EQ(FindGraphicsFor(dir + "song.mp3"), dir + "SONG.CDG");
  EXPECT_EQ(FindGraphicsFor(dir + "Dir.mp3"), "") << "a folder is no graphics file";
  EXPECT_EQ(FindGraphicsFor(dir + "Gone.mp3"), "");
  EXPECT_EQ(FindGraphicsFor(dir + "Nowhere/SONG.MP3"), "");

  // ".avi", ".mpg", ".wmv" in that order, each in any case.
  EXPECT_EQ(FindCompanionVideo(dir + "Clip.mp3"), dir + "Clip.Mpg");
  std::ofstream(dir + "CLIP.AVI") << "video";
  EXPECT_EQ(FindCompanionVideo(dir + "Clip.mp3"), dir + "CLIP.AVI");
  EXPECT_EQ(FindCompanionVideo(dir + "SONG.MP3"), "");
}

TEST(SongLocation, KeyAndChannelLabels) {
  EXPECT_EQ(KeyLabel(0), "Norm");
  EXPECT_EQ(KeyLabel(20), "+2");
  EXPECT_EQ(KeyLabel(-40), "-4");
  EXPECT_EQ(ChannelLabel(0), "Center");
  EXPECT_EQ(ChannelLabel(1), "Left");
  EXPECT_EQ(ChannelLabel(2), "Right");
  EXPECT_EQ(ChannelLabel(7), "Right");
}

TEST(SongTransport, VolumeMapsToHundredthsOfADecibel) {
  EXPECT_EQ(SongTransport::VolumeToHundredthsOfDb(100), 0);
  EXPECT_EQ(SongTransport::VolumeToHundredthsOfDb(50), -3750);
  EXPECT_EQ(SongTransport::VolumeToHundredthsOfDb(5), -7125);
  EXPECT_EQ(SongTransport::VolumeToHundredthsOfDb(0), -7500);
  EXPECT_DOUBLE_EQ(MediaGraph::LinearGain(0), 1.0);
  EXPECT_NEAR(MediaGraph::LinearGain(-2000), 0.1, 1e-12);
  EXPECT_NEAR(MediaGraph::LinearGain(-3750), 0.013335, 1e-6);
  EXPECT_EQ(MediaGraph::LinearGain(-10000), 0.0);
  EXPECT_EQ(MediaGraph::LinearGain(-20000), 0.0);
}

}  // namespace
}  // namespace lyricade
