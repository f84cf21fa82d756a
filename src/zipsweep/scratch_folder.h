#pragma once
// The private folder one archive is unpacked into, made inside the archive's
// own folder so that moving its files into place is a rename on the same
// file system. Removed with everything in it when the owner lets it go, so
// neither a test nor a failed unpacking leaves anything next to the archive.

#include <functional>
#include <string>
#include <vector>

#include "common/process_folders.h"

namespace lyricade {

class ScratchFolder {
public:

  // A new folder ".zipsweep-XXXXXX" inside `parent`; empty when it cannot be
  // made (the parent is not writable). The folder is locked while it lives,
  // so a run can tell it from a folder a crashed run left behind.
  static ScratchFolder MakeInside(const std::string& parent);

  bool Valid() const { return folder_.Valid(); }
  // The folder, ending with "/".
  const std::string& Path() const { return folder_.Path(); }
  // Removes what is inside, keeping the folder.
  bool Empty() const;
  void Remove() { folder_.Remove(); }

private:
  RunFolder folder_;
};

// Removes the private folders inside `parent` that no running zipsweep
// holds (a crashed or killed run's, with whatever it had unpacked); returns
// how many went.
size_t RemoveStaleScratch(const std::string& parent);

// One private folder per archive folder for a series of tests whose
// unpacked files are not kept ("Test ZIPs"): emptied after each archive and
// reused for the next archive of the same folder, removed when the series
// moves to another folder or ends. Making and removing a folder for every
// archive costs more than testing it.
class ScratchKeeper {
public:
  // The kept folder for archives of `parent` (made on first use); for
  // another parent the previous folder goes first. Invalid when it cannot be
  // made.
  ScratchFolder& Inside(const std::string& parent);

private:
  std::string parent_;
  ScratchFolder folder_;
};

// What moving an unpacked archive into its folder did.
struct Placement {
  // Every file moved, as its path in the target folder, in name order.
  std::vector<std::string> Placed;
  // Files that could not be moved (a folder of that name stands there, or a
  // part of the way is not a real folder).
  std::vector<std::string> Refused;
};

// Moves the files below `scratch` to the same relative places below
// `folder`, replacing files of the same name, and makes the folders the
// archive holds. Nothing is moved through a link: every folder on the way
// must be a real folder. Folders are taken in name order. A file for which
// `spared` answers true is never replaced (the run's own archives).
Placement PlaceUnpacked(const std::string& scratch, const std::string& folder,
                        const std::function<bool(const std::string&)>& spared = {});

// Regular files below `scratch`, relative to it, in name order.
std::vector<std::string> UnpackedFiles(const std::string& scratch);

}  // namespace lyricade
