#include "platform/paths/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace lyricade {
namespace {

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = EnvOrEmpty("HOME");
  return home.empty() ? std::string("/tmp/") : WithTrailingSlash(home);
}

std::string ExecutableFolder() {
  std::error_code error;
  fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return WithTrailingSlash(exe.parent_path().string());
}

}  // namespace

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string ResolveDataFolder(const std::vector<std::string>& args, const std::string& app,
                              const std::string& envOverride) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--data-dir" && i + 1 < args.size() && !args[i + 1].empty())
      return WithTrailingSlash(args[i + 1]);
    const std::string prefix = "--data-dir=";
    if (arg.rfind(prefix, 0) == 0 && arg.size() > prefix.size())
      return WithTrailingSlash(arg.substr(prefix.size()));
  }
  std::string fromEnv = envOverride.empty() ? std::string() : EnvOrEmpty(envOverride.c_str());
  if (!fromEnv.empty()) return WithTrailingSlash(fromEnv);
  std::string xdg = EnvOrEmpty("XDG_DATA_HOME");
  if (!xdg.empty()) return WithTrailingSlash(xdg) + app + "/";
  return HomeFolder() + ".local/share/" + app + "/";
}

std::string ResolveScratchRoot(const std::string& app) {
  std::string xdg = EnvOrEmpty("XDG_CACHE_HOME");
  if (!xdg.empty()) return WithTrailingSlash(xdg) + app + "/";
  return HomeFolder() + ".cache/" + app + "/";
}

std::string ResolveProgramFolder(const std::string& app) {
  const std::string exeFolder = ExecutableFolder();
  if (!exeFolder.empty()) {
    std::error_code error;
    fs::path installed = fs::path(exeFolder) / ".." / "share" / app;
    if (fs::is_directory(installed, error))
      return WithTrailingSlash(fs::weakly_canonical(installed, error).string());
  }
#ifdef LYRICADE_BUILD_RESOURCES
  return WithTrailingSlash(LYRICADE_BUILD_RESOURCES);
#else
  return exeFolder;
#endif
}

DataFolderState PrepareDataFolder(const std::string& dataFolder, const std::string& programFolder) {
  std::error_code error;
  if (fs::exists(dataFolder, error)) return DataFolderState::Existing;
  fs::create_directories(dataFolder, error);
  if (error) return DataFolderState::Failed;
  // Everything of the seed but hidden files (a checkout's housekeeping).
  const fs::path seed = fs::path(programFolder) / "seed";
  for (auto it = fs::recursive_directory_iterator(seed, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const fs::path relative = fs::relative(it->path(), seed, error);
    if (error) break;
    if (it->path().filename().string().rfind('.', 0) == 0) {
      if (it->is_directory(error)) it.disable_recursion_pending();
      continue;
    }
    const fs::path target = fs::path(dataFolder) / relative;
    std::error_code copyError;
    if (it->is_directory(copyError))
      fs::create_directories(target, copyError);
    else
      fs::copy_file(it->path(), target, fs::copy_options::skip_existing, copyError);
  }
  return DataFolderState::Created;
}

}  // namespace lyricade
