#pragma once
// The countries the customer details choose from: two-letter codes with the
// English names the vendor's service knows, in alphabetical order of the
// names. "CChash.cfg" stores a row index, so the rows never move.

#include <array>
#include <string_view>

namespace lyricade {

struct Country {
  std::string_view Code;
  std::string_view Name;
};

inline constexpr int kCountryCount = 230;
// The row the details dialog selects when none is stored: "US".
inline constexpr int kDefaultCountryIndex = 213;

const std::array<Country, kCountryCount>& CountryTable();

// The code of row `index`; empty for -1 or any index outside the table.
std::string_view CountryCode(int index);

}  // namespace lyricade
