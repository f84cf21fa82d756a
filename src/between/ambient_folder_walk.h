#pragma once
// "Add Folder..." of the break-music list on a thread of its own: a drive of
// thousands of folders takes a while to walk, and the window (and the show)
// go on meanwhile. The walk collects the tracks; the caller adds them once
// it is done, so an aborted walk adds nothing and no walk outlives its
// owner.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "between/ambient_list.h"

namespace lyricade {

class AmbientFolderWalk {
public:
  // Starts walking `folder` at once.
  explicit AmbientFolderWalk(std::string folder);
  // Aborts and waits for the walk, which stops at its next entry.
  ~AmbientFolderWalk();
  AmbientFolderWalk(const AmbientFolderWalk&) = delete;
  AmbientFolderWalk& operator=(const AmbientFolderWalk&) = delete;

  void Abort() { aborted_ = true; }
  bool Aborted() const { return aborted_; }
  bool Done() const { return done_; }
  // The folder being listed now.
  std::string CurrentFolder() const;
  // The tracks found, in the order "Add Folder..." adds them; once Done,
  // and empty when aborted.
  std::vector<AmbientTrack> TakeFound();

private:
  void Run(const std::string& folder);

  std::atomic<bool> aborted_{false};
  std::atomic<bool> done_{false};
  mutable std::mutex mutex_;
  std::string current_;
  std::vector<AmbientTrack> found_;
  std::thread thread_;
};

}  // namespace lyricade
