#pragma once
// Which songs of the output folder are already on the computer, for the
// "Purchased" column. The folder is listed once (at the first question after
// a reset) and every ZIP in it counted, whatever the letter case of its
// ".zip"; each later question is a lookup. The list resets it at every load,
// so songs copied in by hand show at the next load.

#include <string>
#include <unordered_set>

namespace lyricade {

class PurchasedFiles {
public:
  // Forget what was listed.
  void Reset();
  // True when `targetPath` (folder + name + ".ZIP") exists with its
  // extension in any letter case.
  bool Contains(const std::string& targetPath);
  // How many times a folder was listed; for checks.
  int Listings() const { return listings_; }

private:
  void List(const std::string& folder);

  bool listed_ = false;
  std::string folder_;
  std::unordered_set<std::string> stems_;
  int listings_ = 0;
};

// The path of the ZIP at `targetPath` whatever the letter case of its
// extension (the exact name first); empty when there is none.
std::string FindZipAnyCase(const std::string& targetPath);

// Removes the temporary files a crashed download left in `folder`; returns
// how many went.
int RemoveDownloadLeftovers(const std::string& folder);

}  // namespace lyricade
