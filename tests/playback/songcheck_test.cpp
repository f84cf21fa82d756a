#include "songcheck_run.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "playback_test_support.h"
#include "platform/media/midi_synth.h"
#include "support/test_midi.h"
#include "zip_test_support.h"

namespace lyricade {
namespace {

class SongCheck : public testing::ShowFixture {
protected:
  int Run(std::vector<std::string> args) {
    out.str({});
    err.str({});
    return RunSongCheck(args, out, err);
  }
  std::ostringstream out, err;
};

TEST_F(SongCheck, ReportsAZippedSongPlayedToItsEnd) {
  const std::string mp3 = MakeSong("Check", 2);
  const std::string zip = folder.File("songs/Check.zip");
  ASSERT_TRUE(testing::WriteZip(zip, {{"Check.mp3", testing::ReadWhole(mp3)},
                                      {"Check.cdg", testing::ReadWhole(folder.File("songs/Check.cdg"))}}));
  ASSERT_EQ(Run({zip, "--key", "-2", "--channel", "1", "--to-end"}), 0) << err.str();
  const std::string report = out.str();
  EXPECT_NE(report.find("kind: zipped\n"), std::string::npos);
  EXPECT_NE(report.find("has-graphics: yes\n"), std::string::npos);
  EXPECT_NE(report.find("end-events: 1\n"), std::string::npos);
  EXPECT_NE(report.find("/Check.mp3\n"), std::string::npos);
  const size_t duration = report.find("duration-ms: ");
  ASSERT_NE(duration, std::string::npos);
  EXPECT_NEAR(std::stoi(report.substr(duration + 13)), 2000, 150);
}

// A graph without a screen must not let the media framework pick a video
// sink of its own: some crash without their display system.
TEST_F(SongCheck, PlaysAVideoSongToItsEndWithoutAScreen) {
  const std::string mp4 = folder.File("songs/Video.mp4");
  ASSERT_TRUE(testing::MakeMp4(mp4, 3));
  ASSERT_EQ(Run({mp4, "--seek", "1", "--to-end"}), 0) << err.str();
  EXPECT_NE(out.str().find("end-events: 1\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("has-graphics: no\nlyrics: none\n"), std::string::npos);
  EXPECT_NE(out.str().find("seek-ms: 1000\nafter-seek: playing\n"), std::string::npos) << out.str();
}

TEST_F(SongCheck, AFlacBesideACdgPlaysAsAPair) {
  std::filesystem::remove(MakeSong("Lossless", 2));
  const std::string flac = folder.File("songs/Lossless.flac");
  ASSERT_TRUE(testing::MakeFlac(flac, 2));
  ASSERT_EQ(Run({flac, "--to-end"}), 0) << err.str();
  EXPECT_NE(out.str().find("has-graphics: yes\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("graphics: " + folder.File("songs/Lossless.cdg") + "\n"), std::string::npos);

  // Zipped, the FLAC member is the song's audio in the same way.
  const std::string zip = folder.File("songs/Lossless.zip");
  ASSERT_TRUE(testing::WriteZip(zip, {{"LOSSLESS.FLAC", testing::ReadWhole(flac)},
                                      {"Lossless.cdg", testing::ReadWhole(folder.File("songs/Lossless.cdg"))}}));
  ASSERT_EQ(Run({zip, "--to-end"}), 0) << err.str();
  EXPECT_NE(out.str().find("has-graphics: yes\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("/LOSSLESS.FLAC\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("end-events: 1\n"), std::string::npos);
}

// A karaoke MIDI file plays through the synthesizer with a General MIDI
// sound font; without one it is refused with the package to install.
TEST_F(SongCheck, AKaraokeMidiFilePlaysAndWantsASoundFont) {
  const std::string kar = folder.File("songs/Tune.kar");
  ASSERT_TRUE(testing::MakeKaraokeMidi(kar, {"@TTune"}, {{"/Hel"}, {"lo", 64}, {"\\All", 67}}));
  if (FindSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font installed";
  ASSERT_EQ(Run({kar, "--key", "2", "--tempo", "-10", "--to-end"}), 0) << err.str();
  EXPECT_NE(out.str().find("end-events: 1\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("lyrics: kar\nlyric-lines: 2\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("tempo: -10%\n"), std::string::npos) << out.str();
  const size_t duration = out.str().find("duration-ms: ");
  ASSERT_NE(duration, std::string::npos);
  const int songMs = std::stoi(out.str().substr(duration + 13));
  EXPECT_NEAR(songMs, 1500, 600);
  // Slower, the song still ends where its own time ends.
  const size_t reached = out.str().find("final-position-ms: ");
  ASSERT_NE(reached, std::string::npos);
  EXPECT_NEAR(std::stoi(out.str().substr(reached + 19)), songMs, 300);

  ::setenv("LYRICADE_SOUND_FONT_DIRS", folder.File("no-fonts").c_str(), 1);
  EXPECT_EQ(Run({kar}), 1);
  ::unsetenv("LYRICADE_SOUND_FONT_DIRS");
  EXPECT_NE(err.str().find("Install the package fluid-soundfont-gm."), std::string::npos) << err.str();
}

// Key change moves the notes but never the drums, and a note ends on the key
// it started in even when the key changed while it sounded.
TEST(MidiKeyChange, MovesNotesButNotDrumsAndEndsWhatItStarted) {
  MidiSynth synth("unused.sf2");
  synth.SetTranspose(2);
  uint8_t on[] = {0x90, 60, 100}, drum[] = {0x99, 36, 100}, high[] = {0x91, 126, 100};
  synth.TransposeEvent(on, 3);
  synth.TransposeEvent(drum, 3);
  synth.TransposeEvent(high, 3);
  EXPECT_EQ(on[1], 62);
  EXPECT_EQ(drum[1], 36);
  EXPECT_EQ(high[1], 127);
  synth.SetTranspose(5);
  uint8_t off[] = {0x80, 60, 64}, zeroVelocityOff[] = {0x91, 126, 0}, next[] = {0x90, 60, 100};
  synth.TransposeEvent(off, 3);
  synth.TransposeEvent(zeroVelocityOff, 3);
  synth.TransposeEvent(next, 3);
  EXPECT_EQ(off[1], 62);
  EXPECT_EQ(zeroVelocityOff[1], 127);
  EXPECT_EQ(next[1], 65);
}

TEST_F(SongCheck, WritesTheFrameAtAMoment) {
  const std::string mp3 = MakeSong("Frame", 3);
  const std::string png = folder.File("frame.png");
  ASSERT_EQ(Run({mp3, "--frame-at", "2.5", "-o", png}), 0) << err.str();
  QImage frame(QString::fromStdString(png));
  ASSERT_EQ(frame.size(), QSize(320, 240));
  EXPECT_EQ(frame.pixelColor(160, 120), QColor(32, 0, 0));  // colour 2 from second 2 on
}

TEST_F(SongCheck, FailuresAndMessages) {
  const std::string fake = folder.File("songs/fake.zip");
  std::ofstream(fake) << "no zip";
  EXPECT_EQ(Run({fake}), 1);
  EXPECT_NE(err.str().find("1a. UnZIP: ZIP file empty, bad or damaged!"), std::string::npos);
  EXPECT_EQ(Run({folder.File("songs/none.mp3")}), 1);
  // What the media framework said about a file it cannot play is printed.
  const std::string junk = folder.File("songs/junk.mp3");
  std::ofstream(junk) << "this is not audio at all";
  EXPECT_EQ(Run({junk}), 1);
  EXPECT_NE(err.str().find("songcheck: " + junk + ": "), std::string::npos) << err.str();
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"a.mp3", "--key", "9"}), 2);
  EXPECT_EQ(Run({"a.mp3", "--tempo", "21"}), 2);
  EXPECT_EQ(Run({"a.mp3", "--frame-at", "1"}), 2);  // no -o
}

}  // namespace
}  // namespace lyricade
