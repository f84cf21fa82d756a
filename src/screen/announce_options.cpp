#include "screen/announce_options.h"

#include <charconv>
#include <optional>

#include "common/path_pieces.h"
#include "common/text_file.h"
#include "common/field_text.h"
#include "screen/screen_log.h"

namespace lyricade {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// "a, b, c" with exactly `count` whole numbers, as the file's formats write
// them; nullopt for anything else.
std::optional<std::vector<int64_t>> ScanNumbers(std::string_view line, size_t count) {
  std::vector<int64_t> numbers;
  while (true) {
    const size_t comma = line.find(',');
    std::string_view field = Trim(line.substr(0, comma));
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
      return std::nullopt;
    numbers.push_back(value);
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  if (numbers.size() != count) return std::nullopt;
  return numbers;
}

bool InRange(int64_t value, int64_t low, int64_t high) { return value >= low && value <= high; }

// The card's colours are stored in the order singer, "performing:", artist,
// title.
constexpr std::array<CardLine, kCardLines> kColourOrder{CardLine::Singer, CardLine::Performing,
                                                        CardLine::Artist, CardLine::Title};

std::string Joined(const std::vector<int64_t>& numbers) {
  std::string line;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) line += ", ";
    line += std::to_string(numbers[i]);
  }
  return line;
}

}  // namespace

std::vector<std::string> AnnounceOptionLines(const AnnounceOptions& options) {
  std::vector<int64_t> places{options.ImageLocation, options.ImagePlace};
  for (int alignment : options.Alignment) places.push_back(alignment);
  std::vector<int64_t> shown;
  for (bool on : options.Shown) shown.push_back(on ? 1 : 0);
  std::vector<int64_t> colours;
  for (CardLine line : kColourOrder)
    colours.push_back(static_cast<int32_t>(options.Colour[static_cast<int>(line)]));
  return {Joined(places), Joined(shown), Joined(colours)};
}

bool ApplyAnnounceOptionLines(const std::vector<std::string>& lines, AnnounceOptions& options) {
  bool all = true;
  if (!lines.empty()) {
    const auto places = ScanNumbers(lines[0], 6);
    bool ok = places.has_value();
    for (size_t i = 0; ok && i < places->size(); ++i) ok = InRange((*places)[i], 0, 2);
    if (ok) {
      options.ImageLocation = static_cast<int>((*places)[0]);
      options.ImagePlace = static_cast<int>((*places)[1]);
      for (int i = 0; i < kCardLines; ++i) options.Alignment[i] = static_cast<int>((*places)[2 + i]);
    } else {
      qCWarning(lcScreen) << "The announce card's places line does not read:" << lines[0].c_str();
      all = false;
    }
  }
  if (lines.size() > 1) {
    const auto shown = ScanNumbers(lines[1], 4);
    bool ok = shown.has_value();
    for (size_t i = 0; ok && i < shown->size(); ++i) ok = InRange((*shown)[i], 0, 1);
    if (ok) {
      for (int i = 0; i < kCardLines; ++i) options.Shown[i] = (*shown)[i] != 0;
    } else {
      qCWarning(lcScreen) << "The announce card's shown-lines line does not read:"
                          << lines[1].c_str();
      all = false;
    }
  }
  if (lines.size() > 2) {
    const auto colours = ScanNumbers(lines[2], 4);
    bool ok = colours.has_value();
    // A 32-bit value in either form: signed as written, or unsigned.
    for (size_t i = 0; ok && i < colours->size(); ++i)
      ok = InRange((*colours)[i], INT32_MIN, UINT32_MAX);
    if (ok) {
      for (int i = 0; i < kCardLines; ++i)
        options.Colour[static_cast<int>(kColourOrder[i])] =
            static_cast<uint32_t>(static_cast<uint64_t>((*colours)[i]) & 0xFFFFFFFFu);
    } else {
      qCWarning(lcScreen) << "The announce card's colour line does not read; the colours stay:"
                          << lines[2].c_str();
      all = false;
    }
  }
  return all;
}

const AnnounceImageList::Entry* AnnounceImageList::Numbered(int n) const {
  if (n < 1 || static_cast<size_t>(n) > entries_.size()) return nullptr;
  return &entries_[static_cast<size_t>(n) - 1];
}

bool AnnounceImageList::Add(const std::string& path) {
  if (Full() || path.empty() || path.size() > kMaximumPath) return false;
  entries_.push_back({path, CutUtf8(DisplayName(path), kMaximumName)});
  return true;
}

bool AnnounceImageList::Remove(size_t index) {
  if (index >= entries_.size()) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

void AnnounceImageList::SetLines(const std::vector<std::string>& lines) {
  entries_.clear();
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    if (Full()) break;
    if (!Add(line)) qCWarning(lcScreen) << "A picture path longer than" << kMaximumPath
                                        << "bytes is left out of the list";
  }
}

std::vector<std::string> AnnounceImageList::Lines() const {
  std::vector<std::string> lines;
  for (const Entry& entry : entries_) lines.push_back(entry.Path);
  return lines;
}

bool ReadAnnounceOptions(const std::string& path, AnnounceOptions& options) {
  const auto lines = ReadTextLines(path);
  if (!lines) return false;
  ApplyAnnounceOptionLines(*lines, options);
  return true;
}

bool WriteAnnounceOptions(const std::string& path, const AnnounceOptions& options) {
  if (WriteTextLinesAtomically(path, AnnounceOptionLines(options))) return true;
  qCWarning(lcScreen) << "The announce options could not be written to" << path.c_str();
  return false;
}

bool ReadCustomPictures(const std::string& path, AnnounceImageList& list) {
  list.Clear();
  const auto lines = ReadTextLines(path);
  if (!lines) return false;
  list.SetLines(*lines);
  return true;
}

bool WriteCustomPictures(const std::string& path, const AnnounceImageList& list) {
  if (WriteTextLinesAtomically(path, list.Lines())) return true;
  qCWarning(lcScreen) << "The picture list could not be written to" << path.c_str();
  return false;
}

}  // namespace lyricade
