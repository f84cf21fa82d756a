#include "zipsweep/command_line.h"

#include <sys/stat.h>

#include <charconv>
#include <mutex>
#include <ostream>
#include <thread>

#include "platform/paths/paths.h"
#include "platform/prompts/stream_prompts.h"
#include "platform/unzip/unzip_module.h"
#include "zipsweep/archive_list.h"
#include "zipsweep/archive_trial.h"
#include "zipsweep/sweep_run.h"
#include "zipsweep/sweep_texts.h"
#include "zipsweep/zip_log.h"
#include "zipsweep/zipsweep_log.h"

namespace lyricade {
namespace {

constexpr const char* kUsage =
    "usage: zipsweep --test [--jobs N] PATH...\n"
    "       zipsweep --unzip [--delete] [--jobs N] PATH...\n";

// The module's boxes from several testing threads, one whole line at a time.
class LockedPrompts : public StreamPrompts {
public:
  LockedPrompts(std::ostream& err) : StreamPrompts(err, Style{"zipsweep: ", true, false}) {}
  PromptAnswer Message(const std::string& caption, const std::string& text, PromptButtons buttons,
                       PromptIcon icon) override {
    std::lock_guard lock(mutex_);
    return StreamPrompts::Message(caption, text, buttons, icon);
  }

private:
  std::mutex mutex_;
};

struct Request {
  SweepOptions Options;
  std::vector<std::string> Paths;
};

bool ParseJobs(const std::string& text, int& jobs) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1) return false;
  jobs = value;
  return true;
}

// False (with the reason on `err`) for arguments that make no run.
bool Parse(const std::vector<std::string>& args, Request& request, std::ostream& err) {
  bool test = false;
  bool unzip = false;
  bool options = true;
  const unsigned cores = std::thread::hardware_concurrency();
  request.Options.Jobs = cores > 0 ? static_cast<int>(cores) : 1;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--test") {
      test = true;
    } else if (options && arg == "--unzip") {
      unzip = true;
    } else if (options && arg == "--delete") {
      request.Options.DeleteAfterUnzip = true;
    } else if (options && (arg == "--jobs" || arg.rfind("--jobs=", 0) == 0)) {
      std::string value;
      if (arg == "--jobs") {
        if (i + 1 >= args.size()) {
          err << "zipsweep: --jobs needs a number\n";
          return false;
        }
        value = args[++i];
      } else {
        value = arg.substr(7);
      }
      if (!ParseJobs(value, request.Options.Jobs)) {
        err << "zipsweep: --jobs wants a whole number of at least 1, not \"" << value << "\"\n";
        return false;
      }
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      err << "zipsweep: unknown option " << arg << "\n";
      return false;
    } else {
      request.Paths.push_back(arg);
    }
  }
  if (test == unzip) {
    err << "zipsweep: give one of --test and --unzip\n";
    return false;
  }
  if (test && request.Options.DeleteAfterUnzip) {
    err << "zipsweep: --delete goes with --unzip only\n";
    return false;
  }
  if (request.Paths.empty()) {
    err << "zipsweep: no archive or folder given\n";
    return false;
  }
  request.Options.Mode = unzip ? SweepMode::Unzip : SweepMode::Test;
  return true;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Files as given (a missing one fails as "BAD Filename"), folders scanned.
std::vector<std::string> ListArchives(const std::vector<std::string>& paths) {
  std::vector<std::string> archives;
  FolderScanHooks hooks;
  hooks.Unreadable = [](const std::string& folder, const std::string& error) {
    qCWarning(lcZipsweep, "the folder %s cannot be read: %s", folder.c_str(), error.c_str());
  };
  for (const std::string& path : paths) {
    if (IsFolder(path))
      ScanForArchives(path, hooks, archives);
    else
      archives.push_back(path);
  }
  return archives;
}

}  // namespace

bool WantsCommandLine(const std::vector<std::string>& args) {
  // Any long option, known or not: a mistyped "--tset" gets the usage and
  // status 2 rather than a window. Qt's own options have a single dash.
  for (const std::string& arg : args)
    if (arg.rfind("--", 0) == 0) return true;
  return false;
}

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return 0;
  }
  Request request;
  if (!Parse(args, request, err)) {
    err << kUsage;
    return 2;
  }
  const std::vector<std::string> archives = ListArchives(request.Paths);

  LockedPrompts prompts(err);
  UnzipModule module(UnzipModuleFolder(), prompts);
  ArchiveTester tester(module, ResolveScratchRoot("zipsweep"));
  ZipLog log(ZipLogPath());
  SweepRun run(tester, log, request.Options);

  SweepHooks hooks;
  hooks.Finished = [&out](size_t, const SweepRow& row) {
    out << OneLine(row.Path) << '\t' << row.Status << '\t' << OneLine(row.Used) << '\n';
  };
  hooks.Revised = [&out](size_t, const SweepRow& row) {
    out << OneLine(row.Path) << '\t' << sweep::kKeptStatus << '\t' << sweep::kReplacedReason << '\n';
  };
  const SweepSummary summary = run.Run(archives, hooks);
  out << summary.Passed << " passed, " << summary.Failed << " failed\n";
  out.flush();
  return summary.Failed > 0 ? 1 : 0;
}

}  // namespace lyricade
