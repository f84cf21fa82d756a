// The vendor service's answers and the stored details file: any bytes must
// parse, and any details file must decrypt and read, without reading out of
// bounds; what is read back must pack into a record of the fixed size again.
// Input: a mode byte, then the answer or file bytes.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "store/customer_details.h"
#include "store/details_cipher.h"
#include "store/service_answers.h"

namespace {

template <size_t N>
void WriteSeed(const std::string& folder, const char* name, const char (&bytes)[N]) {
  std::ofstream(folder + "/" + name, std::ios::binary).write(bytes, N - 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* seeds = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!seeds) return 0;
  WriteSeed(seeds, "account", "\x00" "Account: ACC-1\r\n");
  WriteSeed(seeds, "giftpack", "\x00GIFTPACK, 25, GP-1 DOWNLOAD, 3, http://h/a.zip");
  WriteSeed(seeds, "download", "\x00" "DOWNLOAD: https://h/a b--:STREAM:--x.mp3\r\n");
  WriteSeed(seeds, "prices", "\x00" "1 Day|$2||1 Month|$9");
  WriteSeed(seeds, "amounts", "\x00GIFTPACK, -99999999999999999999, x");
  WriteSeed(seeds, "details", "\x01\x04\0\0\0\x07\0\0\0\xd5\0\0\0" "4111");
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  using namespace lyricade;
  if (data[0] & 1) {
    // A details file: as stored (encrypted) and as a plain record.
    for (const std::string& record : {DetailsCipher(rest), std::string(rest)}) {
      const CustomerDetails details = UnpackDetails(record);
      if (PackDetails(details, true).size() != kDetailsRecordSize) std::abort();
    }
    return 0;
  }
  (void)CutAtBlank(rest);
  (void)ParseAccountCode(rest);
  (void)ParseGiftPackAnswer(rest);
  (void)ParseDownloadUrl(rest);
  (void)ParseClaimAnswer(rest);
  // A name the stream answer gives is never one that could change the file
  // address it is sent back in.
  if (const std::optional<std::string> name = ParseStreamFileName(rest))
    if (name->empty() || name->find_first_of("&=#?/\\\r\n") != std::string::npos) std::abort();
  (void)ParsePackagePrices(rest);
  return 0;
}
