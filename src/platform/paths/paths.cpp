#include "platform/paths/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/paths/paths_log.h"

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

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code error;
  const fs::path absolute = fs::absolute(fs::path(folder), error);
  if (error) {
    qCWarning(lcPlatformPaths, "cannot make the folder %s absolute: %s", folder.c_str(),
              error.message().c_str());
    return WithTrailingSlash(folder);
  }
  return WithTrailingSlash(absolute.lexically_normal().string());
}

namespace {

// The data folder as given, before it is made absolute.
std::string ChosenDataFolder(const std::vector<std::string>& args, const std::string& app,
                             const std::string& envOverride) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--data-dir" && i + 1 < args.size() && !args[i + 1].empty()) return args[i + 1];
    const std::string prefix = "--data-dir=";
    if (arg.rfind(prefix, 0) == 0 && arg.size() > prefix.size()) return arg.substr(prefix.size());
  }
  std::string fromEnv = envOverride.empty() ? std::string() : EnvOrEmpty(envOverride.c_str());
  if (!fromEnv.empty()) return fromEnv;
  std::string xdg = EnvOrEmpty("XDG_DATA_HOME");
  if (!xdg.empty()) return WithTrailingSlash(xdg) + app + "/";
  return HomeFolder() + ".local/share/" + app + "/";
}

}  // namespace

std::string ResolveDataFolder(const std::vector<std::string>& args, const std::string& app,
                              const std::string& envOverride) {
  // Resolved once, against the working folder of the start: a later change
  // of working folder must not move the host's library.
  return AbsoluteFolder(ChosenDataFolder(args, app, envOverride));
}

std::string ResolveScratchRoot(const std::string& app) {
  std::string xdg = EnvOrEmpty("XDG_CACHE_HOME");
  if (!xdg.empty()) return WithTrailingSlash(xdg) + app + "/";
  return HomeFolder() + ".cache/" + app + "/";
}

std::string ProgramFolderBeside(const std::string& executableFolder, const std::string& app) {
  const fs::path folder = fs::path(executableFolder) / ".." / "share" / app;
  return WithTrailingSlash(folder.lexically_normal().string());
}

std::string ResolveProgramFolder(const std::string& app) {
  const std::string fromEnv = EnvOrEmpty(kProgramFolderVariable);
  if (!fromEnv.empty()) return AbsoluteFolder(fromEnv);
  const std::string exeFolder = ExecutableFolder();
  if (exeFolder.empty()) {
    qCWarning(lcPlatformPaths, "cannot read the program's own path (/proc/self/exe)");
    return {};
  }
  const std::string folder = ProgramFolderBeside(exeFolder, app);
  std::error_code error;
  if (!fs::is_directory(folder, error))
    qCWarning(lcPlatformPaths, "the program folder %s is missing", folder.c_str());
  return folder;
}

DataFolderState PrepareDataFolder(const std::string& dataFolder, const std::string& programFolder) {
  std::error_code error;
  if (fs::exists(dataFolder, error)) return DataFolderState::Existing;
  fs::create_directories(dataFolder, error);
  if (error) {
    qCWarning(lcPlatformPaths, "cannot make the data folder %s: %s", dataFolder.c_str(),
              error.message().c_str());
    return DataFolderState::Failed;
  }
  // Everything of the seed but hidden files (a checkout's housekeeping).
  const fs::path seed = fs::path(programFolder) / "seed";
  auto it = fs::recursive_directory_iterator(seed, error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
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
    if (copyError)
      qCWarning(lcPlatformPaths, "cannot seed %s from %s: %s", target.c_str(),
                it->path().c_str(), copyError.message().c_str());
  }
  if (error)
    qCWarning(lcPlatformPaths, "cannot read the seed folder %s: %s", seed.c_str(),
              error.message().c_str());
  return DataFolderState::Created;
}

}  // namespace lyricade
