#pragma once
// Reading the vendor service's short text answers: each operation looks for
// its marker and takes what follows it. Codes and addresses taken from an
// answer end at the first blank or line break, so nothing the service adds
// after them leaks into a file name, a request or the gift-pack list.

#include <optional>
#include <string>
#include <string_view>

namespace lyricade {

inline constexpr std::string_view kAccountMarker = "Account: ";
inline constexpr std::string_view kSuccessMarker = "--:SUCCESS:--";
inline constexpr std::string_view kGiftPackMarker = "GIFTPACK, ";
inline constexpr std::string_view kDownloadMarker = "DOWNLOAD: ";
inline constexpr std::string_view kClaimMarker = "DOWNLOAD, ";
inline constexpr std::string_view kErrorMarker = "Error:";
inline constexpr std::string_view kStreamMarker = "--:STREAM:--";  // read by ParseStreamAnswer

// The text up to the first blank, line break or other control character.
std::string CutAtBlank(std::string_view text);

// The account code after "Account: "; nullopt without the marker or code.
std::optional<std::string> ParseAccountCode(std::string_view answer);

// "GIFTPACK, <amount>, <code>": a bought pack.
struct GiftPackAnswer {
  int Amount = 0;
  std::string Code;
};
std::optional<GiftPackAnswer> ParseGiftPackAnswer(std::string_view answer);

// "DOWNLOAD: <url>": the bought song's address (http or https only).
std::optional<std::string> ParseDownloadUrl(std::string_view answer);

// "DOWNLOAD, <remaining amount>, <url>": a claimed song.
struct ClaimAnswer {
  int Remaining = 0;
  std::string Url;
};
std::optional<ClaimAnswer> ParseClaimAnswer(std::string_view answer);

// "--:STREAM:--<file name>": the streamed song's audio file name, as
// ParseStreamAnswer (common/stream_answer.h) reads it: nullopt without the
// marker or for a name it refuses.
std::optional<std::string> ParseStreamFileName(std::string_view answer);

// packages.txt: "<day>||<month>", each with its first "|" turned into a line
// break; nullopt for an answer shorter than 2 characters.
struct PackagePrices {
  std::string Day;
  std::string Month;
};
std::optional<PackagePrices> ParsePackagePrices(std::string_view answer);

}  // namespace lyricade
