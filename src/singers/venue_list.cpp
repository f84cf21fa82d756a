#include "singers/venue_list.h"

#include <algorithm>
#include <cstdlib>

#include "common/text_file.h"
#include "common/field_text.h"

namespace lyricade {
namespace {

// A venue name as the input box takes it: one line, at most 199 characters.
std::string VenueName(const std::string& name) { return FieldText(name, 200); }

bool ParseNumber(const std::string& text, int& value) {
  char* end = nullptr;
  const long number = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str()) return false;
  value = static_cast<int>(std::clamp<long>(number, INT32_MIN, INT32_MAX));
  return true;
}

}  // namespace

std::vector<Venue> VenueList::Read(const std::string& path) {
  std::vector<Venue> venues;
  auto lines = ReadTextLines(path);
  if (!lines || lines->empty()) return venues;
  int count = 0;
  if (!ParseNumber((*lines)[0], count)) return venues;
  for (int i = 0; i < count; ++i) {
    const size_t nameLine = 1 + 2 * static_cast<size_t>(i);
    if (nameLine + 1 >= lines->size()) break;
    Venue venue;
    venue.Name = (*lines)[nameLine];
    if (!ParseNumber((*lines)[nameLine + 1], venue.Number)) break;
    venues.push_back(std::move(venue));
  }
  return venues;
}

bool VenueList::Write(const std::string& path, const std::vector<Venue>& venues) {
  std::vector<std::string> lines{std::to_string(venues.size())};
  for (const Venue& venue : venues) {
    lines.push_back(VenueName(venue.Name));
    lines.push_back(std::to_string(venue.Number));
  }
  return WriteTextLinesAtomically(path, lines);
}

std::vector<Venue> VenueList::ChoiceEntries(const std::string& path, const char* firstEntry) {
  std::vector<Venue> entries{{firstEntry, 0}};
  for (Venue& venue : Read(path)) entries.push_back(std::move(venue));
  return entries;
}

void VenueList::Load() {
  venues_ = Read(path_);
  for (const Venue& venue : venues_) highest_ = std::max(highest_, venue.Number);
}

bool VenueList::Add(const std::string& name) {
  const std::string clean = VenueName(name);
  if (clean.empty()) return false;
  venues_.push_back({clean, ++highest_});
  return Write(path_, venues_);
}

bool VenueList::Rename(int row, const std::string& name) {
  const std::string clean = VenueName(name);
  if (clean.empty() || row < 0 || row >= static_cast<int>(venues_.size())) return false;
  venues_[row].Name = clean;
  return Write(path_, venues_);
}

bool VenueList::Remove(int row) {
  if (row < 0 || row >= static_cast<int>(venues_.size())) return false;
  venues_.erase(venues_.begin() + row);
  return Write(path_, venues_);
}

}  // namespace lyricade
