#pragma once
// The host's prepaid gift packs, "GiftPacks.txt" in the data folder: for
// each pack its code line and its remaining-amount line. A pack added by
// code has no known amount until the service reports one.

#include <string>
#include <vector>

namespace lyricade {

inline constexpr const char* kGiftPacksFileName = "GiftPacks.txt";
inline constexpr int kUnknownAmount = -1;

struct GiftPack {
  std::string Code;
  int Amount = kUnknownAmount;
  bool operator==(const GiftPack&) const = default;
};

// Packs with an empty code are dropped; a missing file is an empty list.
std::vector<GiftPack> LoadGiftPacks(const std::string& dataFolder);
bool SaveGiftPacks(const std::string& dataFolder, const std::vector<GiftPack>& packs);

// "Amount: %d", or "Amount: Unknown".
std::string AmountText(const GiftPack& pack);

}  // namespace lyricade
