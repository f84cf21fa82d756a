#include "zipsweep/sweep_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <filesystem>
#include <system_error>

#include "zipsweep/archive_trial.h"
#include "zipsweep/sweep_texts.h"
#include "zipsweep/zip_log.h"
#include "zipsweep/zipsweep_log.h"

namespace lyricade {
namespace {

// How far the testing threads may run ahead of the archive being placed:
// enough to keep them busy, few private folders at once.
constexpr size_t kLeadPerJob = 4;

// The absolute, normalised form of a path, so two spellings of one file
// compare equal.
std::string Normal(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

// Takes trials in list order: logs failures, moves unpacked files into place
// and remembers which archive placed which file.
class Committer {
public:
  Committer(ZipLog& log, const SweepOptions& options, const SweepHooks& hooks,
            std::vector<SweepRow>& rows)
      : log_(log), options_(options), hooks_(hooks), rows_(rows) {
    if (options_.Mode != SweepMode::Unzip) return;
    for (const SweepRow& row : rows_) archives_.insert(Normal(row.Path));
  }

  void Commit(size_t index, ArchiveTrial trial, SweepSummary& summary) {
    SweepRow& row = rows_[index];
    row.Passed = trial.Passed;
    row.Status = trial.Passed ? sweep::kTestPassed : sweep::kTestFailed;
    row.Used = trial.Used;
    if (!trial.Passed) {
      ++summary.Failed;
      log_.Line(row.Used, row.Status, row.Path);
    } else {
      ++summary.Passed;
      if (options_.Mode == SweepMode::Unzip) Place(index, trial);
    }
    // The test's own files go now; placed files have left the folder.
    trial.Unpacked.Remove();
    if (hooks_.Finished) hooks_.Finished(index, row);
  }

private:
  void Place(size_t index, const ArchiveTrial& trial) {
    // A member named like an archive of the run never replaces it: the
    // archive could be deleted at the end in its place.
    const Placement placement =
        PlaceUnpacked(trial.Unpacked.Path(), trial.Folder,
                      [this](const std::string& file) { return archives_.count(Normal(file)) > 0; });
    for (const std::string& file : placement.Placed) {
      auto [owner, fresh] = placedBy_.try_emplace(file, index);
      if (!fresh && owner->second != index) {
        Keep(owner->second, sweep::kReplacedReason, true);
        owner->second = index;
      }
    }
    if (trial.KeepReason) {
      qCWarning(lcZipsweep, "%s is kept: %s", rows_[index].Path.c_str(), trial.KeepReason);
      Keep(index, trial.KeepReason, false);
    }
    if (!placement.Refused.empty()) {
      for (const std::string& file : placement.Refused)
        qCWarning(lcZipsweep, "%s from %s cannot be moved into place", file.c_str(),
                  rows_[index].Path.c_str());
      Keep(index, sweep::kNotPlacedReason, false);
    }
  }

  // The archive stays whatever the check box says, and its row and the log
  // say why.
  void Keep(size_t index, const char* reason, bool revised) {
    SweepRow& row = rows_[index];
    if (row.Kept) return;
    row.Kept = true;
    row.Used += sweep::kKeptSuffix;
    log_.Line(reason, sweep::kKeptStatus, row.Path);
    if (revised && hooks_.Revised) hooks_.Revised(index, row);
  }

  ZipLog& log_;
  const SweepOptions& options_;
  const SweepHooks& hooks_;
  std::vector<SweepRow>& rows_;
  std::unordered_map<std::string, size_t> placedBy_;
  std::unordered_set<std::string> archives_;
};

bool Aborted(const SweepHooks& hooks) { return hooks.Aborted && hooks.Aborted(); }

size_t RunOneByOne(const ArchiveTester& tester, const SweepOptions& options,
                   const SweepHooks& hooks, std::vector<SweepRow>& rows, Committer& committer,
                   SweepSummary& summary) {
  const bool testing = options.Mode == SweepMode::Test;
  ScratchKeeper keeper;
  size_t done = 0;
  while (done < rows.size()) {
    if (hooks.Starting) hooks.Starting(done, rows.size());
    committer.Commit(done, tester.Try(rows[done].Path, testing, testing ? &keeper : nullptr),
                     summary);
    ++done;
    if (hooks.Pump) hooks.Pump();
    if (Aborted(hooks)) break;
  }
  return done;
}

// Testing threads take archives in list order; this thread commits each
// trial in the same order as soon as it is there.
size_t RunTogether(const ArchiveTester& tester, const SweepOptions& options,
                   const SweepHooks& hooks, std::vector<SweepRow>& rows, Committer& committer,
                   SweepSummary& summary) {
  const bool testing = options.Mode == SweepMode::Test;
  const size_t count = rows.size();
  const size_t jobs = std::min(static_cast<size_t>(options.Jobs), count);
  const size_t lead = jobs * kLeadPerJob;
  std::vector<std::optional<ArchiveTrial>> trials(count);
  std::mutex mutex;
  std::condition_variable changed;
  size_t handedOut = 0;
  size_t committed = 0;
  bool stop = false;

  auto work = [&] {
    // A test keeps nothing it unpacked: each thread reuses one private
    // folder per archive folder.
    ScratchKeeper keeper;
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return stop || handedOut >= count || handedOut < committed + lead; });
      if (stop || handedOut >= count) return;
      const size_t index = handedOut++;
      lock.unlock();
      ArchiveTrial trial = tester.Try(rows[index].Path, testing, testing ? &keeper : nullptr);
      lock.lock();
      trials[index] = std::move(trial);
      changed.notify_all();
    }
  };
  std::vector<std::thread> threads;
  threads.reserve(jobs);
  for (size_t i = 0; i < jobs; ++i) threads.emplace_back(work);

  while (committed < count) {
    if (hooks.Starting) hooks.Starting(committed, count);
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return trials[committed].has_value() || (stop && committed >= handedOut); });
    if (!trials[committed]) break;
    ArchiveTrial trial = std::move(*trials[committed]);
    trials[committed].reset();
    lock.unlock();
    committer.Commit(committed, std::move(trial), summary);
    if (hooks.Pump) hooks.Pump();
    const bool aborted = Aborted(hooks);
    lock.lock();
    ++committed;
    // An abort lets the archives already being tested finish; they are
    // committed like the others.
    if (aborted) stop = true;
    changed.notify_all();
  }
  for (std::thread& thread : threads) thread.join();
  return committed;
}

// Deletes an archive that passed "UNZIP All": a regular file only.
bool DeleteArchive(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    qCWarning(lcZipsweep, "%s is no longer a regular file and is not deleted", path.c_str());
    return false;
  }
  if (::unlink(path.c_str()) != 0) {
    qCWarning(lcZipsweep, "%s cannot be deleted: %s", path.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace

SweepSummary SweepRun::Run(const std::vector<std::string>& paths, const SweepHooks& hooks) {
  SweepSummary summary;
  if (paths.empty()) return summary;
  log_.Begin();
  // A crashed run's private folders hold unpacked copies nobody will move
  // or remove: they go before this run makes its own.
  std::unordered_set<std::string> folders;
  for (const std::string& path : paths) {
    const std::string folder = std::filesystem::path(Normal(path)).parent_path().string();
    if (folders.insert(folder).second && RemoveStaleScratch(folder) > 0)
      qCWarning(lcZipsweep, "removed what an earlier run left unpacked in %s", folder.c_str());
  }
  std::vector<SweepRow> rows(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) rows[i].Path = paths[i];
  Committer committer(log_, options_, hooks, rows);
  const size_t done = options_.Jobs > 1
                          ? RunTogether(tester_, options_, hooks, rows, committer, summary)
                          : RunOneByOne(tester_, options_, hooks, rows, committer, summary);
  summary.Aborted = done < rows.size() || Aborted(hooks);
  if (options_.Mode == SweepMode::Unzip && options_.DeleteAfterUnzip) {
    for (size_t i = 0; i < done; ++i)
      if (rows[i].Passed && !rows[i].Kept && DeleteArchive(rows[i].Path)) ++summary.Deleted;
  }
  log_.End();
  return summary;
}

}  // namespace lyricade
