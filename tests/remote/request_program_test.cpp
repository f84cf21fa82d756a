// The real lyricade started with "--request-server=0": it prints the ports
// of the server and of the singers' request page; a request from the
// request client, and one from the page in a headless browser, land in the
// rotation; the program still closes cleanly, keeping the requested songs
// in its list.
#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/lyricade_program.h"
#include "support/x11_session.h"

namespace fs = std::filesystem;
using namespace lyricade::testing;

namespace {

template <typename Done>
bool Poll(Done done, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

// Runs a helper program to its end; its exit status.
int RunToEnd(const std::vector<std::string>& arguments, const std::string& log) {
  ChildProcess process(arguments, {}, log);
  return process.WaitForExit(60000);
}

class RequestProgram : public ::testing::Test {
protected:
  // Starts the program with the server on a port of the system's choice and
  // waits for the line that names `what`'s port.
  std::string StartAndReadPort(const std::string& what) {
    program = StartLyricade(folder, "fakesink", {}, {"--request-server=0"});
    EXPECT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
    main = x11.WaitForWindow(kMainCaption, 30000);
    EXPECT_NE(main, 0u);
    std::smatch port;
    const std::regex portLine(what + "-port: (\\d+)");
    std::string output;
    Poll([&] { return std::regex_search(output = ReadWholeFile(log), port, portLine); }, 20000);
    return port.size() > 1 ? port[1].str() : std::string();
  }
  // Closes as the host does; the list file then.
  std::string CloseAndReadList() {
    x11.RequestClose(main);
    EXPECT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000),
                                      XK_Return, 20000));
    EXPECT_EQ(program->WaitForExit(15000), 0) << ReadWholeFile(log);
    return ReadWholeFile(data + "lastlist.lst");
  }

  X11Session x11;
  TestFolder folder;
  const std::string data = folder.File("data/");
  const std::string log = folder.File("lyricade.log");
  const std::string song = data + "Demo Songs/Pip Larkspur - Lanterns On The Pier.mp3";
  std::unique_ptr<ChildProcess> program;
  Window main = 0;
};

}  // namespace

TEST_F(RequestProgram, ARequestFromTheClientReachesTheRunningProgramsRotation) {
  ASSERT_TRUE(x11.Connected()) << "the tests run on an X display";
  const std::string port = StartAndReadPort("request-server");
  ASSERT_FALSE(port.empty()) << ReadWholeFile(log);
  ASSERT_TRUE(fs::exists(song));
  EXPECT_EQ(RunToEnd({LYRICADE_BIN "lyricade-request", "--host", "127.0.0.1", "--port", port, "--singer",
                      "Ana", "--path", song, "--key", "2"},
                     folder.File("client.log")),
            0)
      << ReadWholeFile(folder.File("client.log"));
  // The request is in the list file on its own, well before the close.
  const std::string queued = "-Ana\r\n1\r\n2, 0, ";
  EXPECT_TRUE(Poll([&] { return ReadWholeFile(data + "lastlist.lst").find(queued) != std::string::npos; }, 10000))
      << ReadWholeFile(data + "lastlist.lst");
  const std::string list = CloseAndReadList();
  EXPECT_NE(list.find(queued), std::string::npos) << list;
  EXPECT_NE(list.find("-" + song + "\r\n"), std::string::npos) << list;
}

// A singer's phone, played by headless Chromium: the page searches the
// host's library, requests a song and lists it as queued.
TEST_F(RequestProgram, ThePhonePageSearchesRequestsAndSeesTheSongQueued) {
  if (!fs::exists("/usr/bin/chromium"))
    GTEST_SKIP() << "Chromium is not installed (scripts/install-deps installs it where it can)";
  ASSERT_TRUE(x11.Connected()) << "the tests run on an X display";
  const std::string port = StartAndReadPort("request-page");
  ASSERT_FALSE(port.empty()) << ReadWholeFile(log);
  const std::string browserLog = folder.File("browser.log");
  EXPECT_EQ(RunToEnd({"/usr/bin/python3", LYRICADE_TESTS "requestpage/page_smoke.py", "/usr/bin/chromium",
                      "http://127.0.0.1:" + port + "/", "Zoë", "lanterns pier", folder.File("profile")},
                     browserLog),
            0)
      << ReadWholeFile(browserLog);
  const std::string said = ReadWholeFile(browserLog);
  EXPECT_NE(said.find("Queued for Zoë: Lanterns On The Pier"), std::string::npos) << said;
  EXPECT_NE(said.find("queue: Lanterns On The Pier"), std::string::npos) << said;
  const std::string list = CloseAndReadList();
  EXPECT_NE(list.find("-Zoë\r\n1\r\n"), std::string::npos) << list;
  EXPECT_NE(list.find("-" + song + "\r\n"), std::string::npos) << list;
}
