#include "store/gift_packs.h"

#include <cstdlib>

#include "common/text_file.h"
#include "store/service_answers.h"
#include "store/store_log.h"

namespace lyricade {

std::vector<GiftPack> LoadGiftPacks(const std::string& dataFolder) {
  std::vector<GiftPack> packs;
  const auto lines = ReadTextLines(dataFolder + kGiftPacksFileName);
  if (!lines) return packs;
  for (size_t i = 0; i < lines->size(); i += 2) {
    GiftPack pack;
    pack.Code = CutAtBlank((*lines)[i]);
    if (i + 1 < lines->size()) {
      const std::string& amount = (*lines)[i + 1];
      char* end = nullptr;
      const long value = std::strtol(amount.c_str(), &end, 10);
      if (end != amount.c_str() && value >= kUnknownAmount && value <= 1000000)
        pack.Amount = static_cast<int>(value);
    }
    if (!pack.Code.empty()) packs.push_back(std::move(pack));
  }
  return packs;
}

bool SaveGiftPacks(const std::string& dataFolder, const std::vector<GiftPack>& packs) {
  // Prepaid codes are as good as money: private to the user, like the card.
  std::string content;
  for (const GiftPack& pack : packs)
    content += pack.Code + "\r\n" + std::to_string(pack.Amount) + "\r\n";
  const std::string path = dataFolder + kGiftPacksFileName;
  if (!WriteFileAtomically(path, content, 0600)) {
    qCWarning(lcStore, "the gift packs cannot be written to %s", path.c_str());
    return false;
  }
  return true;
}

std::string AmountText(const GiftPack& pack) {
  return pack.Amount == kUnknownAmount ? std::string("Amount: Unknown")
                                       : "Amount: " + std::to_string(pack.Amount);
}

}  // namespace lyricade
