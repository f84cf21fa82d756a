// The build installed into a temporary root (DESTDIR, prefix /usr) works
// from there: the programs find their folder and module relative to
// themselves, a demo song plays to the end with its graphics, and lyricade
// seeds a fresh data folder from the installed files and quits cleanly.

#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/lyricade_program.h"
#include "support/child_process.h"
#include "support/x11_session.h"

namespace fs = std::filesystem;
using namespace lyricade::testing;

namespace {

constexpr const char* kDemoSong = "Pip Larkspur - Lanterns On The Pier";

// Runs a program to its end; its exit status, its output in `output`.
int RunToEnd(const std::vector<std::string>& arguments,
        const std::vector<std::pair<std::string, std::string>>& environment, const std::string& log,
        std::string* output = nullptr) {
  ChildProcess process(arguments, environment, log);
  const int status = process.WaitForExit(120000);
  if (output) *output = ReadWholeFile(log);
  return status;
}

}  // namespace

class InstalledPrograms : public ::testing::Test {
protected:
  void SetUp() override {
    std::string output;
    ASSERT_EQ(RunToEnd({CMAKE_PROGRAM, "--install", LYRICADE_BUILD_TREE, "--prefix", "/usr"},
                  {{"DESTDIR", root}}, folder.File("install.log"), &output),
              0)
        << output;
  }
  void TearDown() override {
    if (HasFailure()) std::cerr << "lyricade's output:\n" << ReadWholeFile(folder.File("lyricade.log"));
  }
  // What every installed program runs with: nothing pointing into the build.
  std::vector<std::pair<std::string, std::string>> Environment() const {
    return {{"LYRICADE_PROGRAM_DIR", ""},
            {"XDG_CACHE_HOME", folder.File("cache")},
            {"XDG_CONFIG_HOME", folder.File("config")},
            {"LYRICADE_AUDIO_SINK", "fakesink"}};
  }
  TestFolder folder;
  const std::string root = folder.File("root");
  const std::string usr = root + "/usr/";
};

TEST_F(InstalledPrograms, LayoutDesktopFilesAndNoCheckoutPaths) {
  for (const char* file :
       {"bin/lyricade", "bin/zipsweep", "bin/lyricade-library", "bin/lyricade-request", "bin/songcheck", "bin/cdgframe", "bin/dspfile",
        "lib/lyricade/libeunzip32.so", "share/lyricade/Lyricade.html", "share/lyricade/seed/Background.bmp",
        "share/applications/lyricade.desktop", "share/applications/zipsweep.desktop",
        "share/man/man1/zipsweep.1.gz", "share/metainfo/io.github.lyricade.Lyricade.metainfo.xml",
        "share/icons/hicolor/scalable/apps/lyricade.svg", "share/icons/hicolor/48x48/apps/lyricade.png",
        "share/icons/hicolor/256x256/apps/lyricade.png", "share/man/man1/lyricade.1.gz",
        "share/man/man1/songcheck.1.gz", "share/doc/lyricade/copyright"})
    EXPECT_TRUE(fs::exists(usr + file)) << file;
  EXPECT_TRUE(fs::exists(usr + "share/lyricade/seed/Demo Songs/" + kDemoSong + ".cdg"));
  EXPECT_FALSE(fs::is_empty(usr + "share/lyricade/Backgrounds"));

  std::string output;
  EXPECT_EQ(RunToEnd({"/usr/bin/desktop-file-validate", usr + "share/applications/lyricade.desktop"}, {},
                folder.File("validate.log"), &output),
            0)
      << output;
  EXPECT_EQ(RunToEnd({"/usr/bin/appstreamcli", "validate", "--no-net",
                 usr + "share/metainfo/io.github.lyricade.Lyricade.metainfo.xml"},
                {}, folder.File("appstream.log"), &output),
            0)
      << output;

  // No installed file names the checkout it was built from.
  const std::string checkout = LYRICADE_CHECKOUT;
  for (const auto& entry : fs::recursive_directory_iterator(usr)) {
    if (!entry.is_regular_file() || entry.file_size() > 64 * 1024 * 1024) continue;
    EXPECT_EQ(ReadWholeFile(entry.path()).find(checkout), std::string::npos) << entry.path();
  }
  EXPECT_EQ(RunToEnd({usr + "bin/lyricade", "--version"}, {}, folder.File("version.log"), &output), 0);
  EXPECT_EQ(output.rfind("lyricade 2.", 0), 0u) << output;
}

TEST_F(InstalledPrograms, ADemoSongPlaysToTheEndWithItsGraphics) {
  std::string output;
  ASSERT_EQ(RunToEnd({usr + "bin/songcheck", usr + "share/lyricade/seed/Demo Songs/" + kDemoSong + ".mp3",
                 "--to-end"},
                Environment(), folder.File("songcheck.log"), &output),
            0)
      << output;
  EXPECT_NE(output.find("has-graphics: yes"), std::string::npos) << output;
  EXPECT_NE(output.find("end-events: 1"), std::string::npos) << output;
}

TEST_F(InstalledPrograms, LyricadeSeedsAFreshDataFolderAndQuits) {
  X11Session x11;
  ASSERT_TRUE(x11.Connected()) << "the tests run on an X display";
  const std::string data = folder.File("data/");
  auto program = StartLyricadeAt(usr + "bin/lyricade", folder);
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  ASSERT_NE(main, 0u);
  EXPECT_TRUE(fs::exists(data + "Demo Songs/" + kDemoSong + ".mp3")) << "seeded from the installed files";
  x11.RequestClose(main);
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000),
                                    XK_Return, 20000));
  EXPECT_EQ(program->WaitForExit(15000), 0);
}
