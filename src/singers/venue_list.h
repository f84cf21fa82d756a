#pragma once
// Venue filters: named numbers kept in "venuelist.cfg" (the count, then a
// name line and a number line per venue, CRLF on disk). History rows carry
// the number of the venue where they were sung; 0 is "no venue". The
// highest number seen lives for the run, so a removed number is not given
// again before a restart.

#include <string>
#include <utility>
#include <vector>

namespace lyricade {

struct Venue {
  std::string Name;
  int Number = 0;
  bool operator==(const Venue&) const = default;
};

// The first entry of each choice box.
inline constexpr const char* kAllVenues = "All Venues";
inline constexpr const char* kNoVenue = "No Venue";

class VenueList {
public:
  // Reads the file; a missing or unreadable file gives no venues, a damaged
  // one what can be read of it.
  static std::vector<Venue> Read(const std::string& path);
  static bool Write(const std::string& path, const std::vector<Venue>& venues);
  // A choice box's entries: the fixed first entry with number 0, then the
  // venues in file order.
  static std::vector<Venue> ChoiceEntries(const std::string& path, const char* firstEntry);

  explicit VenueList(std::string path) : path_(std::move(path)) {}

  // The management window opens: the list is read and the highest number
  // raised to the largest one in it.
  void Load();
  const std::vector<Venue>& Venues() const { return venues_; }
  int HighestNumber() const { return highest_; }
  const std::string& Path() const { return path_; }

  // Each change saves the file. An empty name changes nothing.
  bool Add(const std::string& name);
  bool Rename(int row, const std::string& name);
  bool Remove(int row);

private:
  std::string path_;
  std::vector<Venue> venues_;
  int highest_ = 0;
};

}  // namespace lyricade
