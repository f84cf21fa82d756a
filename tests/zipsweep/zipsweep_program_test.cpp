// The real zipsweep binary: the command line's lines, order, log and exit
// status, and the window opening and closing under the test display.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "common/test_folder.h"
#include "support/x11_session.h"
#include "zipsweep/sweep_test_support.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;
using testing::ReadWhole;
using testing::TestFolder;

// The program in a process of its own, its output in files, killed if a
// test leaves it running.
class Program {
public:
  Program(const TestFolder& folder, const std::vector<std::string>& args,
          const std::string& binary = LYRICADE_ZIPSWEEP)
      : folder_(folder) {
    pid_ = ::fork();
    if (pid_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (!std::freopen(folder.File("out.txt").c_str(), "w", stdout)) ::_exit(126);
      if (!std::freopen(folder.File("err.txt").c_str(), "w", stderr)) ::_exit(126);
      ::setenv("XDG_DATA_HOME", folder.File("data").c_str(), 1);
      ::setenv("XDG_CACHE_HOME", folder.File("cache").c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
      std::vector<char*> argv = {const_cast<char*>(binary.c_str())};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(binary.c_str(), argv.data());
      ::_exit(127);
    }
  }
  ~Program() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  // The exit status, or -1 when the process is still running after `ms`.
  int Wait(int ms = 60000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }
  std::string Out() const { return ReadWhole(folder_.File("out.txt")); }
  std::string Err() const { return ReadWhole(folder_.File("err.txt")); }
  std::string Log() const { return ReadWhole(folder_.File("data/zipsweep/ziplog.txt")); }

private:
  const TestFolder& folder_;
  pid_t pid_ = -1;
  bool exited_ = false;
};

class ZipsweepProgramTest : public ::testing::Test {
protected:
  std::string Song(const std::string& name, bool good = true) {
    const std::string path = songs_.File(name);
    fs::create_directories(fs::path(path).parent_path());
    if (good)
      EXPECT_TRUE(testing::WriteSweepZip(path, {{"song.mp3", testing::FakeMp3(8)}, {"song.cdg", "cdg"}}));
    else
      EXPECT_TRUE(testing::WriteWhole(path, "not an archive"));
    return path;
  }
  TestFolder run_;
  TestFolder songs_;
};

TEST_F(ZipsweepProgramTest, CommandLineLinesOrderLogAndExitStatus) {
  // Folders are walked as "Add Folder..." walks them: names in order, any
  // letter case of the extension, folders after the files of their parent.
  Song("b/one.zip");
  Song("b/TWO.ZIP", false);
  Song("a/x.Zip");
  Song("top.zip", false);
  testing::WriteWhole(songs_.File("a/notes.txt"), "not a zip");
  const std::string lone = Song("elsewhere/lone.zip");
  const std::string gone = songs_.File("gone.zip");
  const std::string expected =
      songs_.File("top.zip") + "\tTest Failed\tZIP BAD\n" +
      songs_.File("a/x.Zip") + "\tTest Passed\tzLib\n" +
      songs_.File("b/TWO.ZIP") + "\tTest Failed\tZIP BAD\n" +
      songs_.File("b/one.zip") + "\tTest Passed\tzLib\n" +
      lone + "\tTest Passed\tzLib\n" +
      lone + "\tTest Passed\tzLib\n" +
      gone + "\tTest Failed\tBAD Filename\n"
      "4 passed, 3 failed\n";
  const std::string log = "Quillon ZIP Tester Log 1.0\n\n"
                          "ZIP BAD, Test Failed, " + songs_.File("top.zip") + "\n"
                          "ZIP BAD, Test Failed, " + songs_.File("b/TWO.ZIP") + "\n"
                          "BAD Filename, Test Failed, " + gone + "\n";
  const auto before = testing::Snapshot(songs_.Path());
  for (const char* jobs : {"1", "4"}) {
    SCOPED_TRACE(jobs);
    Program program(run_, {"--test", "--jobs", jobs, songs_.Path(), lone, gone});
    EXPECT_EQ(program.Wait(), 1);
    EXPECT_EQ(program.Out(), expected);
    EXPECT_EQ(program.Log(), log);
    EXPECT_EQ(program.Err(), "");
  }
  EXPECT_EQ(testing::Snapshot(songs_.Path()), before);

  // All passed: status 0; --unzip --delete unpacks and removes the archives.
  Program unzip(run_, {"--unzip", "--delete", songs_.File("a"), songs_.File("b/one.zip")});
  EXPECT_EQ(unzip.Wait(), 0);
  EXPECT_EQ(unzip.Out(), songs_.File("a/x.Zip") + "\tTest Passed\tzLib\n" + songs_.File("b/one.zip") +
                             "\tTest Passed\tzLib\n2 passed, 0 failed\n");
  EXPECT_TRUE(testing::Exists(songs_.File("a/song.mp3")));
  EXPECT_TRUE(testing::Exists(songs_.File("b/song.cdg")));
  EXPECT_FALSE(testing::Exists(songs_.File("a/x.Zip")));
  EXPECT_FALSE(testing::Exists(songs_.File("b/one.zip")));
  EXPECT_EQ(unzip.Log(), "Quillon ZIP Tester Log 1.0\n\n");
}

TEST_F(ZipsweepProgramTest, TheFallbackModulesMessagesGoToStandardError) {
  // A copy of the program with no module beside it (nor on the library path).
  const std::string copy = run_.File("zipsweep");
  fs::copy_file(LYRICADE_ZIPSWEEP, copy);
  const std::string song = songs_.File("linked.zip");
  ASSERT_TRUE(testing::WriteSweepZip(song, {{"song.mp3", "mp3"}, {"song.cdg", "cdg"}, {"l", "x", true}}));
  Program program(run_, {"--test", song}, copy);
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_EQ(program.Out(), song + "\tTest Failed\tMissing MP3\n0 passed, 1 failed\n");
  const std::string message =
      "zipsweep: Unzip: Cannot find libeunzip32.so. The Dll must be in the application directory, "
      "the path, the Windows directory or the Windows System directory.\n";
  // Once for the listing pass, once for the extracting pass (the warnings
  // of the log category come between them).
  const std::string err = program.Err();
  size_t shown = 0;
  for (size_t at = err.find(message); at != std::string::npos; at = err.find(message, at + 1)) ++shown;
  EXPECT_EQ(shown, 2u) << err;
}

TEST_F(ZipsweepProgramTest, APathCannotForgeLinesOrColumns) {
  const std::string forged = Song("x\ty\nZIP BAD, Test Passed, z.zip", false);
  Program program(run_, {"--test", forged});
  EXPECT_EQ(program.Wait(), 1);
  const std::string shown = songs_.File("x\\ty\\nZIP BAD, Test Passed, z.zip");
  EXPECT_EQ(program.Out(), shown + "\tTest Failed\tZIP BAD\n0 passed, 1 failed\n");
  EXPECT_EQ(program.Log(), "Quillon ZIP Tester Log 1.0\n\nZIP BAD, Test Failed, " + shown + "\n");
}

TEST_F(ZipsweepProgramTest, BadArgumentsEndWithStatusTwoAndTouchNothing) {
  const std::string song = Song("one.zip");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--test"},
                                             {"--test", "--unzip", song},
                                             {"--jobs", "2", song},
                                             {"--test", "--jobs", "0", song},
                                             {"--test", "--jobs", "many", song},
                                             {"--test", "--jobs"},
                                             {"--test", "--delete", song},
                                             {"--unzip", "--everything", song},
                                             {"--tset", song}}) {
    Program program(run_, args);
    EXPECT_EQ(program.Wait(), 2) << args.front();
    EXPECT_NE(program.Err().find("usage: zipsweep"), std::string::npos);
    EXPECT_EQ(program.Out(), "");
  }
  EXPECT_FALSE(testing::Exists(run_.File("data/zipsweep/ziplog.txt")));
  EXPECT_TRUE(testing::Exists(song));
}

TEST_F(ZipsweepProgramTest, TheWindowOpensAndClosesAndTheProcessEnds) {
  testing::X11Session x11;
  ASSERT_TRUE(x11.Connected()) << "the tests run under a display";
  Program program(run_, {});
  const Window window = x11.WaitForWindow("Quillon Mass Unzip and Test", 20000);
  ASSERT_NE(window, 0u) << program.Err();
  // On a loaded machine a close request sent the moment the window maps can
  // reach the toolkit before it listens for one, as a user's first click
  // could; the user clicks again.
  int status = -1;
  for (int tries = 0; tries < 10 && status == -1; ++tries) {
    x11.RequestClose(window);
    status = program.Wait(2000);
  }
  EXPECT_EQ(status, 0) << program.Err();
}

}  // namespace
}  // namespace lyricade
