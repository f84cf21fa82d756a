#pragma once
// The real lyricade binary started as a user starts it, with its data,
// configuration and scratch folders inside a test's folder.

#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/test_folder.h"
#include "support/child_process.h"
#include "support/x11_session.h"

namespace lyricade::testing {

inline constexpr const char* kMainCaption = "Quillon Lyricade(TM) 2.08A";

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// `display` empty: the tests' own display.
inline std::unique_ptr<ChildProcess> StartLyricadeAt(const std::string& program, const TestFolder& folder,
                                                     const std::string& audioSink = "fakesink",
                                                     const std::string& display = {},
                                                     const std::vector<std::string>& extraArguments = {}) {
  // A sanitizer build of the program draws through the OpenGL driver,
  // whose memory can't be told from a leak once it is unloaded.
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::vector<std::pair<std::string, std::string>> environment{
      {"XDG_CACHE_HOME", folder.File("cache")},
      {"XDG_CONFIG_HOME", folder.File("config")},
      {"LYRICADE_AUDIO_SINK", audioSink},
      {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":detect_leaks=0"},
      // The program finds its own folder beside it, as installed.
      {"LYRICADE_PROGRAM_DIR", ""}};
  if (!display.empty()) environment.emplace_back("DISPLAY", display);
  std::vector<std::string> arguments{program, "--data-dir", folder.File("data/")};
  arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
  return std::make_unique<ChildProcess>(arguments, environment, folder.File("lyricade.log"));
}

#ifdef LYRICADE_PROGRAM
// The build tree's program.
inline std::unique_ptr<ChildProcess> StartLyricade(const TestFolder& folder,
                                                   const std::string& audioSink = "fakesink",
                                                   const std::string& display = {},
                                                   const std::vector<std::string>& extraArguments = {});

// A first start and close makes the data folder with its demo songs; then
// Ana waits in the saved rotation with the demo song "Lanterns On The Pier".
// False when the program did not come up or end as it should.
inline bool SeedAnaWithADemoSong(const X11Session& x11, const TestFolder& folder,
                                 const std::string& display = {}) {
  auto first = StartLyricade(folder, "fakesink", display);
  if (!x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000)) return false;
  x11.RequestClose(x11.WaitForWindow(kMainCaption, 30000));
  if (!x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000), XK_Return, 20000))
    return false;
  if (first->WaitForExit(15000) != 0) return false;
  const std::string data = folder.File("data/");
  const std::string song = data + "Demo Songs/Pip Larkspur - Lanterns On The Pier.mp3";
  if (!std::filesystem::exists(song)) return false;
  std::ofstream(data + "lastlist.lst", std::ios::binary)
      << "1\r\n-Ana\r\n1\r\n0, 0, 0\r\n-Lanterns\r\n-\r\n-" << song << "\r\n-Pip\r\n-\r\n-\r\n";
  return true;
}

inline std::unique_ptr<ChildProcess> StartLyricade(const TestFolder& folder, const std::string& audioSink,
                                                   const std::string& display,
                                                   const std::vector<std::string>& extraArguments) {
  return StartLyricadeAt(LYRICADE_PROGRAM, folder, audioSink, display, extraArguments);
}
#endif

}  // namespace lyricade::testing
