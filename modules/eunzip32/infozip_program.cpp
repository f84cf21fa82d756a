#include "infozip_program.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace eunzip {
namespace {

constexpr const char* kProgram = "/usr/bin/unzip";

// A private folder beside the destination (so the final move is a rename on
// one file system), removed with whatever the program left in it; removal
// never follows a link the program may have made.
class PrivateFolder {
public:
  explicit PrivateFolder(const std::string& beside) {
    std::string pattern = beside + ".eunzip-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~PrivateFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

// The program reads its member list as patterns; a name it would read as
// one ("*", "?", "[", and "\" which it takes as an escape) cannot be named
// to it exactly, so such a member is not handed over at all.
bool NameableExactly(std::string_view name) {
  return !name.empty() && name.front() != '-' && name.find_first_of("*?[\\") == std::string_view::npos;
}

// The user's umask, read without changing it (umask() would, for a moment,
// for every thread of the host).
mode_t CurrentUmask() {
  FILE* status = std::fopen("/proc/self/status", "re");
  if (!status) return 022;
  char line[256];
  unsigned mask = 022;
  while (std::fgets(line, sizeof line, status))
    if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
  std::fclose(status);
  return static_cast<mode_t>(mask & 0777);
}

// Runs the program to its end or its deadline; true only for exit code 0
// (a bad checksum, a missing password, a file past the size limit are not).
bool RunProgram(std::vector<std::string> arguments, uint64_t maxBytes, int timeoutSeconds) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  char locale[] = "LC_ALL=C";
  char* envp[] = {locale, nullptr};
  const rlimit fileLimit{static_cast<rlim_t>(maxBytes), static_cast<rlim_t>(maxBytes)};

  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    // Only async-signal-safe calls between fork and exec: the host has
    // other threads.
    ::setrlimit(RLIMIT_FSIZE, &fileLimit);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    ::execve(kProgram, argv.data(), envp);
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(child, SIGKILL);
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

const char* InfoZipProgram() { return ::access(kProgram, X_OK) == 0 ? kProgram : ""; }

bool UnpackWithInfoZip(const OutsideMember& member) {
  if (!*InfoZipProgram() || !NameableExactly(member.StoredName) || member.MaxBytes == 0)
    return false;
  const std::string::size_type slash = member.Destination.rfind('/');
  if (slash == std::string::npos) return false;
  PrivateFolder scratch(member.Destination.substr(0, slash + 1));
  if (scratch.Path().empty()) return false;
  // "-j" drops the stored folders: the file lands at one known name.
  if (!RunProgram({kProgram, "-qq", "-o", "-j", member.Archive, member.StoredName, "-d", scratch.Path()},
                  member.MaxBytes, member.TimeoutSeconds))
    return false;
  const std::string base = member.StoredName.substr(member.StoredName.rfind('/') + 1);
  const std::string unpacked = scratch.Path() + "/" + base;
  struct stat info {};
  if (base.empty() || ::lstat(unpacked.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<uint64_t>(info.st_size) > member.MaxBytes)
    return false;
  // The archive's own permission bits are not the host's business.
  ::chmod(unpacked.c_str(), 0666 & ~CurrentUmask());
  return ::rename(unpacked.c_str(), member.Destination.c_str()) == 0;
}

}  // namespace eunzip
