#pragma once
// How one catalogue row looks: its type ("S" streamed, "D" download), its
// price text and its colours. Plain rules, no widgets.

#include <optional>
#include <string>
#include <vector>

namespace lyricade {

// A streaming item: the label contains one of the streaming labels.
bool IsStreamingLabel(const std::string& comp, const std::vector<std::string>& labels);
// "%0.2f"; empty for a null price.
std::string PriceText(std::optional<double> price);

struct Rgb {
  int Red = 0;
  int Green = 0;
  int Blue = 0;
  bool operator==(const Rgb&) const = default;
};

struct RowColours {
  // None: the list's own background.
  std::optional<Rgb> Background;
  Rgb Text;
};

// Purchased rows are black with green (download) or amber (stream) text;
// other streaming rows are amber; "Multiplex" songs (vocals on one channel)
// are written in dark grey.
RowColours CatalogueRowColours(bool purchased, bool streaming, const std::string& genre);

}  // namespace lyricade
