#include "catalogue/catalogue_rows.h"

#include <cstdio>

namespace lyricade {
namespace {

constexpr Rgb kAmber{255, 201, 14};
constexpr Rgb kGreen{0, 220, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kDarkGrey{95, 95, 95};

}  // namespace

bool IsStreamingLabel(const std::string& comp, const std::vector<std::string>& labels) {
  for (const std::string& label : labels)
    if (!label.empty() && comp.find(label) != std::string::npos) return true;
  return false;
}

std::string PriceText(std::optional<double> price) {
  if (!price) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%0.2f", *price);
  return text;
}

RowColours CatalogueRowColours(bool purchased, bool streaming, const std::string& genre) {
  if (purchased) return {kBlack, streaming ? kAmber : kGreen};
  RowColours colours;
  if (streaming) colours.Background = kAmber;
  colours.Text = genre == "Multiplex" ? kDarkGrey : kBlack;
  return colours;
}

}  // namespace lyricade
