#pragma once
// The addresses of the vendor service's operations. Values are appended as
// they are and every space of the finished address becomes an underscore;
// only "#" and "%" in card fields are percent-encoded, since either would
// otherwise end or garble the query.

#include <string>

#include "store/customer_details.h"

namespace lyricade {

// The two bases: plain http, and https for account and card requests.
struct ServiceBases {
  std::string Plain;
  std::string Secure;
};

// The configured bases: $LYRICADE_SERVICE_URL and $LYRICADE_SERVICE_TLS_URL
// (by default the same host over https).
ServiceBases ConfiguredServiceBases();

// "CCNUM=..." through "&EMAIL=..." and "&RESELLER_CODE=SM".
std::string CardFields(const CustomerDetails& details);

std::string CreateAccountUrl(const ServiceBases& bases, const CustomerDetails& details);
std::string ExpiryUrl(const ServiceBases& bases, const std::string& account);
std::string PackagesUrl(const ServiceBases& bases);
// Pack 0 "D1A" (1 Day), 1 "M1A" (1 Month).
std::string BuyTimeUrl(const ServiceBases& bases, const CustomerDetails& details, int pack,
                       const std::string& account);
// Type 0..3: "T10", "T25A", "T50A", "T75A".
std::string BuyGiftPackUrl(const ServiceBases& bases, const CustomerDetails& details, int type);
std::string BuySongUrl(const ServiceBases& bases, const CustomerDetails& details,
                       const std::string& songCode);
std::string ClaimSongUrl(const ServiceBases& bases, const CustomerDetails& details,
                         const std::string& songCode, const std::string& packCode);
std::string PreviewUrl(const ServiceBases& bases, const std::string& songCode);
std::string CatalogueUrl(const ServiceBases& bases);
std::string SummaryPageUrl(const ServiceBases& bases, const std::string& email);
std::string PrivacyPageUrl(const ServiceBases& bases);

// "http://AccountID=%s&SongID=%s": a streamed song's path in a playlist.
std::string StreamingSongPath(const std::string& account, const std::string& songCode);

}  // namespace lyricade
