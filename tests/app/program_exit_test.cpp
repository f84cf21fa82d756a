// The real lyricade binary, started as a user starts it, ends when its main
// window is closed and the exit question answered, having written the
// singer list and the preferences, whatever other windows are up.

#include <gtest/gtest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

#include "common/test_folder.h"
#include "support/x11_session.h"

namespace fs = std::filesystem;
using lyricade::testing::TestFolder;
using lyricade::testing::X11Session;

namespace {

constexpr const char* kMainCaption = "Quillon Lyricade(TM) 2.08A";

// The program in a process of its own, killed if a test leaves it running.
class Program {
public:
  explicit Program(const TestFolder& folder, const char* audioSink = "fakesink") {
    const std::string data = folder.File("data/");
    const std::string cache = folder.File("cache");
    const std::string config = folder.File("config");
    const std::string log = folder.File("lyricade.log");
    pid_ = ::fork();
    if (pid_ == 0) {
      // The program dies with the test, and its output goes to a file, so a
      // failing test never leaves it running nor holds the test's output open.
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (std::FILE* out = std::freopen(log.c_str(), "w", stdout)) ::dup2(::fileno(out), 2);
      ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
      ::setenv("LYRICADE_AUDIO_SINK", audioSink, 1);
      // A sanitizer build of the program draws through the OpenGL driver,
      // whose memory can't be told from a leak once it is unloaded.
      const char* asan = std::getenv("ASAN_OPTIONS");
      ::setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
      // The program finds its own folder beside it, as installed.
      ::unsetenv("LYRICADE_PROGRAM_DIR");
      ::execl(LYRICADE_PROGRAM, LYRICADE_PROGRAM, "--data-dir", data.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  ~Program() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  // Waits up to `ms` for the process to end; its exit status, or -1.
  int WaitForExit(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

class ProgramExit : public ::testing::Test {
protected:
  void TearDown() override {
    if (HasFailure()) std::cerr << "lyricade's output:\n" << ReadFile(folder.File("lyricade.log"));
  }
  TestFolder folder;
};

TEST_F(ProgramExit, ClosingTheMainWindowEndsTheProgramAfterTheSaves) {
  X11Session x11;
  ASSERT_TRUE(x11.Connected()) << "the tests run on an X display";
  Program program(folder);

  // One display: the singers' screen explains how to get a second one.
  const Window monitorBox = x11.WaitForWindow("Monitor Information", 60000);
  ASSERT_NE(monitorBox, 0u) << "the program came up";
  ASSERT_TRUE(x11.PressKeyUntilGone(monitorBox, XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  ASSERT_NE(main, 0u);
  ASSERT_NE(x11.WaitForWindow("Lyricade Screen", 10000), 0u) << "the singers' screen is up";

  x11.RequestClose(main);
  const Window question = x11.WaitForWindow("Save Singer List Before You Exit", 10000);
  ASSERT_NE(question, 0u);
  // "Yes", the default answer.
  ASSERT_TRUE(x11.PressKeyUntilGone(question, XK_Return, 20000));

  EXPECT_EQ(program.WaitForExit(15000), 0) << "the process ends, with status 0";
  const std::string data = folder.File("data/");
  // An empty rotation saves as an empty file.
  EXPECT_TRUE(fs::exists(data + "lastlist.lst")) << "the singer list was saved";
  EXPECT_EQ(ReadFile(data + "lastlist.lst"), "");
  EXPECT_FALSE(ReadFile(data + "lyr2prefs.cfg").empty()) << "the preferences were written";
  EXPECT_FALSE(fs::exists(folder.File("cache/lyricade/Zipped"))) << "scratch folders are gone";
}

// The singers' screen is the window a one-monitor host sees: the program's
// accelerators work there. A singer is cued (Ctrl+S) and their song started
// (Ctrl+Z) from it; the close then finds a song playing.
TEST_F(ProgramExit, AcceleratorsReachTheShowFromTheSingersScreen) {
  X11Session x11;
  ASSERT_TRUE(x11.Connected());
  const std::string data = folder.File("data/");
  {
    // A first start makes the data folder.
    Program first(folder);
    ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
    x11.RequestClose(x11.WaitForWindow(kMainCaption, 30000));
    ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000),
                                      XK_Return, 20000));
    ASSERT_EQ(first.WaitForExit(15000), 0);
  }
  // Ana waits with a demo song.
  const std::string song = data + "Demo Songs/Pip Larkspur - Lanterns On The Pier.mp3";
  ASSERT_TRUE(fs::exists(song));
  std::ofstream(data + "lastlist.lst", std::ios::binary)
      << "1\r\n-Ana\r\n1\r\n0, 0, 0\r\n-Lanterns\r\n-\r\n-" << song << "\r\n-Pip\r\n-\r\n-\r\n";

  Program program(folder, "fakesink sync=true");
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  const Window screen = x11.WaitForWindow("Lyricade Screen", 10000);
  ASSERT_NE(screen, 0u);
  x11.PressKey(screen, XK_s, true);  // next singer: Ana is up
  x11.PressKey(screen, XK_z, true);  // play
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  x11.RequestClose(main);
  // A song plays, so the first question is the playing song's.
  const Window playing = x11.WaitForWindow("Exit Program", 10000);
  EXPECT_NE(playing, 0u) << "Ctrl+S and Ctrl+Z on the singers' screen started Ana's song";
  if (playing) ASSERT_TRUE(x11.PressKeyUntilGone(playing, XK_Return, 20000));
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000),
                                    XK_Return, 20000));
  EXPECT_EQ(program.WaitForExit(15000), 0);
}
