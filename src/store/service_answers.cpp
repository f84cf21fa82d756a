#include "store/service_answers.h"

#include "common/stream_answer.h"

#include "platform/net/http_client.h"

namespace lyricade {
namespace {

bool IsBreak(char c) { return static_cast<unsigned char>(c) <= ' ' || c == 127; }

// A decimal amount at the start of `text` (a leading minus allowed), its
// digits consumed; values beyond a million are held at a million.
std::optional<int> TakeAmount(std::string_view& text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  const size_t first = i;
  long value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (value < 1000000) value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (i == first) return std::nullopt;
  text.remove_prefix(i);
  if (value > 1000000) value = 1000000;
  return static_cast<int>(negative ? -value : value);
}

// After the marker: "<amount>, <rest>".
std::optional<std::pair<int, std::string>> AmountAndText(std::string_view answer,
                                                         std::string_view marker) {
  const size_t at = answer.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = answer.substr(at + marker.size());
  const std::optional<int> amount = TakeAmount(rest);
  if (!amount || rest.substr(0, 2) != ", ") return std::nullopt;
  std::string text = CutAtBlank(rest.substr(2));
  if (text.empty()) return std::nullopt;
  return std::make_pair(*amount, std::move(text));
}

std::optional<std::string> AfterMarker(std::string_view answer, std::string_view marker) {
  const size_t at = answer.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string text = CutAtBlank(answer.substr(at + marker.size()));
  if (text.empty()) return std::nullopt;
  return text;
}

void FirstBarToLineBreak(std::string& text) {
  const size_t bar = text.find('|');
  if (bar != std::string::npos) text[bar] = '\n';
}

}  // namespace

std::string CutAtBlank(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBreak(text[end])) ++end;
  return std::string(text.substr(0, end));
}

std::optional<std::string> ParseAccountCode(std::string_view answer) {
  return AfterMarker(answer, kAccountMarker);
}

std::optional<GiftPackAnswer> ParseGiftPackAnswer(std::string_view answer) {
  auto parsed = AmountAndText(answer, kGiftPackMarker);
  if (!parsed) return std::nullopt;
  return GiftPackAnswer{parsed->first, std::move(parsed->second)};
}

std::optional<std::string> ParseDownloadUrl(std::string_view answer) {
  std::optional<std::string> url = AfterMarker(answer, kDownloadMarker);
  if (!url || !IsWebAddress(*url)) return std::nullopt;
  return url;
}

std::optional<ClaimAnswer> ParseClaimAnswer(std::string_view answer) {
  auto parsed = AmountAndText(answer, kClaimMarker);
  if (!parsed || !IsWebAddress(parsed->second)) return std::nullopt;
  return ClaimAnswer{parsed->first, std::move(parsed->second)};
}

std::optional<std::string> ParseStreamFileName(std::string_view answer) {
  return ParseStreamAnswer(answer).Name;
}

std::optional<PackagePrices> ParsePackagePrices(std::string_view answer) {
  if (answer.size() < 2) return std::nullopt;
  PackagePrices prices;
  const size_t split = answer.find("||");
  prices.Day = std::string(answer.substr(0, split));
  if (split != std::string_view::npos) prices.Month = std::string(answer.substr(split + 2));
  FirstBarToLineBreak(prices.Day);
  FirstBarToLineBreak(prices.Month);
  return prices;
}

}  // namespace lyricade
