#pragma once
// How the announce card looks ("customoptions.cfg") and the host's own
// pictures for it ("customimages.cfg"), both in the data folder. Plain data
// and their text files; the card is drawn from them (announce_card.h) and the
// Announce Options dialog edits them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lyricade {

// The card's four text lines, in the order the options list them.
enum class CardLine { Singer = 0, Performing = 1, Title = 2, Artist = 3 };
inline constexpr int kCardLines = 4;

struct AnnounceOptions {
  // 0 top band, 1 bottom band, 2 the whole card.
  int ImageLocation = 0;
  // 0 centre, 1 left half, 2 right half.
  int ImagePlace = 0;
  // Per line: 0 centre, 1 left, 2 right.
  std::array<int, kCardLines> Alignment{0, 0, 0, 0};
  std::array<bool, kCardLines> Shown{true, true, true, true};
  // Colours as the colour chooser gives them: red in the low byte, then
  // green, then blue. The high byte is kept as it was stored and ignored when
  // drawing.
  std::array<uint32_t, kCardLines> Colour{0x88FFFFFFu, 0x880000FFu, 0x00FFFFFFu, 0x00FFFF00u};

  bool operator==(const AnnounceOptions&) const = default;
};

// The three lines of "customoptions.cfg" (without line ends). The colour line
// holds the artist's colour before the title's, and each colour as a signed
// 32-bit number (0x88FFFFFF is -1996488705), as the stored files have them.
std::vector<std::string> AnnounceOptionLines(const AnnounceOptions& options);
// Applies the lines of a file as read. Each line is taken whole or not at
// all: a line that does not scan, or holds a value out of its range, keeps
// that line's values. Colours are read in the signed and in the unsigned
// form. Returns whether every line present was taken.
bool ApplyAnnounceOptionLines(const std::vector<std::string>& lines, AnnounceOptions& options);

// A path list of the host's own pictures: at most 50, each with the name the
// lists show (the file name without folder and extension).
class AnnounceImageList {
public:
  static constexpr size_t kMaximum = 50;
  static constexpr size_t kMaximumPath = 1023;
  static constexpr size_t kMaximumName = 255;

  struct Entry {
    std::string Path;
    std::string Name;
  };

  const std::vector<Entry>& Entries() const { return entries_; }
  size_t Count() const { return entries_.size(); }
  bool Full() const { return entries_.size() >= kMaximum; }
  // The n-th picture, counted from 1 (0 and numbers beyond the list: none).
  const Entry* Numbered(int n) const;

  // Appends a path; false when the list is full or the path empty or too long.
  bool Add(const std::string& path);
  // Removes the entry at `index` (from 0); later ones move up.
  bool Remove(size_t index);
  void Clear() { entries_.clear(); }

  // Lines as read from the file: empty lines skipped, the first 50 others
  // kept. A line longer than a path may be is left out.
  void SetLines(const std::vector<std::string>& lines);
  std::vector<std::string> Lines() const;

private:
  std::vector<Entry> entries_;
};

// The two files. A missing options file keeps the options as they are (the
// defaults at start-up); a missing list file gives an empty list. Both then
// return false. Writing replaces the file atomically.
bool ReadAnnounceOptions(const std::string& path, AnnounceOptions& options);
bool WriteAnnounceOptions(const std::string& path, const AnnounceOptions& options);
bool ReadCustomPictures(const std::string& path, AnnounceImageList& list);
bool WriteCustomPictures(const std::string& path, const AnnounceImageList& list);

}  // namespace lyricade
