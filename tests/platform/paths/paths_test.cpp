#include "platform/paths/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/test_folder.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and puts the old values back.
class ScopedEnv {
public:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
      else unsetenv(it->first.c_str());
    }
  }

private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Paths, DataFolderPrecedence) {
  ScopedEnv env;
  env.Set("HOME", "/home/kj");
  env.Set("XDG_DATA_HOME", nullptr);
  env.Set("LYRICADE_DATA_DIR", nullptr);
  EXPECT_EQ(ResolveDataFolder({}, "lyricade", "LYRICADE_DATA_DIR"), "/home/kj/.local/share/lyricade/");
  env.Set("XDG_DATA_HOME", "/xdg/data");
  EXPECT_EQ(ResolveDataFolder({}, "lyricade", "LYRICADE_DATA_DIR"), "/xdg/data/lyricade/");
  env.Set("LYRICADE_DATA_DIR", "/shows/friday");
  EXPECT_EQ(ResolveDataFolder({}, "lyricade", "LYRICADE_DATA_DIR"), "/shows/friday/");
  EXPECT_EQ(ResolveDataFolder({"--data-dir", "/shows/saturday/"}, "lyricade", "LYRICADE_DATA_DIR"),
            "/shows/saturday/");
  EXPECT_EQ(ResolveDataFolder({"-x", "--data-dir=/shows/sunday"}, "lyricade", "LYRICADE_DATA_DIR"),
            "/shows/sunday/");
  // A flag without its value does not swallow anything.
  EXPECT_EQ(ResolveDataFolder({"--data-dir"}, "lyricade", "LYRICADE_DATA_DIR"), "/shows/friday/");
}

TEST(Paths, ScratchRootAndProgramFolder) {
  ScopedEnv env;
  env.Set("HOME", "/home/kj");
  env.Set("XDG_CACHE_HOME", nullptr);
  EXPECT_EQ(ResolveScratchRoot("lyricade"), "/home/kj/.cache/lyricade/");
  env.Set("XDG_CACHE_HOME", "/fast/cache/");
  EXPECT_EQ(ResolveScratchRoot("lyricade"), "/fast/cache/lyricade/");
  // The build tree's program folder, as the tests are told it.
  const std::string program = ResolveProgramFolder("lyricade");
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), '/');
  EXPECT_TRUE(fs::exists(program + "font/cdg_font.txt")) << program;
  EXPECT_TRUE(fs::exists(program + "schema/collections.sql")) << program;
  // A program finds share/<app>/ beside its bin/ folder.
  EXPECT_EQ(ProgramFolderBeside("/opt/lyricade/bin/", "lyricade"), "/opt/lyricade/share/lyricade/");
  EXPECT_EQ(ProgramFolderBeside("/opt/lyricade/bin", "lyricade"), "/opt/lyricade/share/lyricade/");
}

TEST(Paths, RelativeFoldersAreMadeAbsoluteAtOnce) {
  testing::TestFolder folder;
  ScopedEnv env;
  env.Set("LYRICADE_DATA_DIR", "shows/friday");
  env.Set(kProgramFolderVariable, "build/./share/lyricade");
  const fs::path before = fs::current_path();
  fs::current_path(folder.Path());
  const std::string root = WithTrailingSlash(fs::current_path().string());
  const std::string given = ResolveDataFolder({"--data-dir", "./shows/../shows/saturday"},
                                              "lyricade", "LYRICADE_DATA_DIR");
  const std::string fromEnv = ResolveDataFolder({}, "lyricade", "LYRICADE_DATA_DIR");
  const std::string program = ResolveProgramFolder("lyricade");
  fs::current_path(before);
  EXPECT_EQ(given, root + "shows/saturday/");
  EXPECT_EQ(fromEnv, root + "shows/friday/");
  EXPECT_EQ(program, root + "build/share/lyricade/");
}

TEST(Paths, FirstRunSeedsANewFolderOnly) {
  testing::TestFolder folder;
  const std::string program = folder.File("program/");
  fs::create_directories(program + "seed/Backgrounds");
  std::ofstream(program + "seed/background.dds") << "picture";
  std::ofstream(program + "seed/Backgrounds/loop.wmv") << "video";
  std::ofstream(program + "seed/.gitignore") << "*.dds";

  const std::string data = folder.File("data/lyricade/");
  EXPECT_EQ(PrepareDataFolder(data, program), DataFolderState::Created);
  EXPECT_TRUE(fs::exists(data + "background.dds"));
  EXPECT_TRUE(fs::exists(data + "Backgrounds/loop.wmv"));
  EXPECT_FALSE(fs::exists(data + ".gitignore"));

  // An existing folder is left as it is, even with files missing.
  fs::remove(data + "background.dds");
  EXPECT_EQ(PrepareDataFolder(data, program), DataFolderState::Existing);
  EXPECT_FALSE(fs::exists(data + "background.dds"));

  // A file where a folder must go: the folder cannot be made.
  std::ofstream(folder.File("blocker")) << "x";
  EXPECT_EQ(PrepareDataFolder(folder.File("blocker/data/"), program), DataFolderState::Failed);
  // No seed folder at all still gives a usable data folder.
  EXPECT_EQ(PrepareDataFolder(folder.File("bare/"), folder.File("nothing/")), DataFolderState::Created);
  EXPECT_TRUE(fs::is_directory(folder.File("bare/")));
}

}  // namespace
}  // namespace lyricade
