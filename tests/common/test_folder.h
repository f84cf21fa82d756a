#pragma once
// A temporary folder for one test, removed with everything in it afterwards.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace lyricade::testing {

class TestFolder {
public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyricade-test-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TestFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder, ending with "/".
  std::string Path() const { return path_ + "/"; }
  std::string File(const std::string& name) const { return Path() + name; }

private:
  std::string path_;
};

}  // namespace lyricade::testing
