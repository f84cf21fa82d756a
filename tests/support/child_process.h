#pragma once
// Another program run by a test in a process of its own, as a user starts it:
// its output goes to a file, it dies with the test, and it is killed if the
// test leaves it running.

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace lyricade::testing {

class ChildProcess {
public:
  // Starts `arguments[0]` with the rest as its arguments; `environment`
  // pairs are set (an empty value unsets the variable) over the test's own.
  ChildProcess(const std::vector<std::string>& arguments,
               const std::vector<std::pair<std::string, std::string>>& environment,
               const std::string& outputFile);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // Waits up to `ms` for the process to end; its exit status (128 + the
  // signal when killed), or -1 while it still runs.
  int WaitForExit(int ms);

private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

}  // namespace lyricade::testing
