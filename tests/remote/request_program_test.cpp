// The real lyricade started with "--request-server=0": it prints the port it
// listens on, the request client's request lands in the rotation, and the
// program still closes cleanly, keeping the requested song in its list.
#include <gtest/gtest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/test_folder.h"
#include "support/x11_session.h"

namespace fs = std::filesystem;
using lyricade::testing::TestFolder;
using lyricade::testing::X11Session;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a program with its output in `log`; with `wait`, its exit status.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& log, const TestFolder& folder) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (std::FILE* out = std::freopen(log.c_str(), "w", stdout)) ::dup2(::fileno(out), 2);
    ::setenv("XDG_CACHE_HOME", folder.File("cache").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
    ::setenv("LYRICADE_AUDIO_SINK", "fakesink", 1);
    const char* asan = std::getenv("ASAN_OPTIONS");
    ::setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
    ::unsetenv("LYRICADE_PROGRAM_DIR");
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  return pid;
}

int WaitFor(pid_t pid, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

template <typename Done>
bool Poll(Done done, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

constexpr const char* kMainCaption = "Quillon Lyricade(TM) 2.08A";

}  // namespace

TEST(RequestProgram, ARequestFromTheClientReachesTheRunningProgramsRotation) {
  X11Session x11;
  ASSERT_TRUE(x11.Connected()) << "the tests run on an X display";
  TestFolder folder;
  const std::string data = folder.File("data/");
  const std::string log = folder.File("lyricade.log");
  const pid_t program =
      Spawn({LYRICADE_BIN "lyricade", "--data-dir", data, "--request-server=0"}, log, folder);
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  ASSERT_NE(main, 0u);

  std::smatch port;
  const std::regex portLine("request-server-port: (\\d+)");
  std::string output;
  ASSERT_TRUE(Poll([&] { return std::regex_search(output = ReadFile(log), port, portLine); }, 20000))
      << output;
  const std::string song = data + "Demo Songs/Pip Larkspur - Lanterns On The Pier.mp3";
  ASSERT_TRUE(fs::exists(song));
  const int sent = WaitFor(Spawn({LYRICADE_BIN "lyricade-request", "--host", "127.0.0.1", "--port",
                                  port[1].str(), "--singer", "Ana", "--path", song, "--key", "2"},
                                 folder.File("client.log"), folder),
                           20000);
  EXPECT_EQ(sent, 0) << ReadFile(folder.File("client.log"));
  // The request is in the list file on its own, well before the close.
  const std::string queued = "-Ana\r\n1\r\n2, 0, ";
  EXPECT_TRUE(Poll([&] { return ReadFile(data + "lastlist.lst").find(queued) != std::string::npos; }, 10000))
      << ReadFile(data + "lastlist.lst");

  x11.RequestClose(main);
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000),
                                    XK_Return, 20000));
  EXPECT_EQ(WaitFor(program, 15000), 0) << ReadFile(log);
  const std::string list = ReadFile(data + "lastlist.lst");
  EXPECT_NE(list.find(queued), std::string::npos) << list;
  EXPECT_NE(list.find("-" + song + "\r\n"), std::string::npos) << list;
}
