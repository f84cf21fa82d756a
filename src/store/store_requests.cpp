#include "store/store_requests.h"

#include "platform/net/http_client.h"
#include "store/country_table.h"

namespace lyricade {
namespace {

std::string Field(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '#')
      out += "%23";
    else if (c == '%')
      out += "%25";
    else
      out += c;
  }
  return out;
}

std::string Compose(const std::string& url) { return HttpClient::ComposeUrl(url); }

}  // namespace

ServiceBases ConfiguredServiceBases() { return ServiceBases{ServiceBaseUrl(), ServiceTlsBaseUrl()}; }

std::string CardFields(const CustomerDetails& d) {
  return "CCNUM=" + Field(d.CardNumber) + "&EXPMM=" + Field(d.ExpiryMonth) + "&EXPYYYY=" +
         Field(d.ExpiryYear) + "&CVV=" + Field(d.Cvv) + "&COUNTRY=" +
         std::string(CountryCode(d.CountryIndex)) + "&FIRSTNAME=" + Field(d.FirstName) +
         "&LASTNAME=" + Field(d.LastName) + "&STREET=" + Field(d.Street) + "&CITY=" +
         Field(d.City) + "&STATE=" + Field(d.State) + "&ZIP=" + Field(d.Zip) + "&EMAIL=" +
         Field(d.Email) + "&RESELLER_CODE=SM";
}

std::string CreateAccountUrl(const ServiceBases& bases, const CustomerDetails& d) {
  return Compose(bases.Secure +
                 "/cgi-bin/vudazazareziraro/LYRSubs/createaccount.asp?bill_email=" + Field(d.Email) +
                 "&bill_first_name=" + Field(d.FirstName) + "&bill_last_name=" +
                 Field(d.LastName) + "&bill_country_code=" +
                 std::string(CountryCode(d.CountryIndex)) + "&bill_phone=N");
}

std::string ExpiryUrl(const ServiceBases& bases, const std::string& account) {
  return Compose(bases.Plain + "/cgi-bin/vudazazareziraro/LYRSubs/checksubexpiry.asp?AccountID=" +
                 account);
}

std::string PackagesUrl(const ServiceBases& bases) {
  return Compose(bases.Plain + "/cgi-bin/vudazazareziraro/LYRSubs/packages.txt");
}

std::string BuyTimeUrl(const ServiceBases& bases, const CustomerDetails& d, int pack,
                       const std::string& account) {
  return Compose(bases.Secure + "/cgi-bin/VudazazAreziraro/LYRSubs/purchasesubtime.asp?" +
                 CardFields(d) + "&PACKNUMBER=" + (pack == 0 ? "D1A" : "M1A") + "&ACCOUNTID=" +
                 account);
}

std::string BuyGiftPackUrl(const ServiceBases& bases, const CustomerDetails& d, int type) {
  static constexpr const char* kTypes[] = {"T10", "T25A", "T50A", "T75A"};
  const int index = type < 0 ? 0 : (type > 3 ? 3 : type);
  return Compose(bases.Secure + "/cgi-bin/VudazazAreziraro/purchasexmlpackSM.asp?" +
                 CardFields(d) + "&PACK_TYPE=" + kTypes[index]);
}

std::string BuySongUrl(const ServiceBases& bases, const CustomerDetails& d,
                       const std::string& songCode) {
  return Compose(bases.Secure + "/cgi-bin/VudazazAreziraro/purchasexmlccSM.asp?" + CardFields(d) +
                 "&SONG_CODE=" + songCode);
}

std::string ClaimSongUrl(const ServiceBases& bases, const CustomerDetails& d,
                         const std::string& songCode, const std::string& packCode) {
  return Compose(bases.Secure + "/cgi-bin/VudazazAreziraro/purchasexmlgiftSM.asp?" +
                 "FIRSTNAME=" + Field(d.FirstName) + "&LASTNAME=" + Field(d.LastName) +
                 "&EMAIL=" + Field(d.Email) + "&SONG_CODE=" + songCode + "&GIFTCODE=" + packCode +
                 "&RESELLER_CODE=SM");
}

std::string PreviewUrl(const ServiceBases& bases, const std::string& songCode) {
  return Compose(bases.Plain +
                 "/cgi-bin/vudazazareziraro/LYRSubs/downloadpreviewMP3.aspx?SongCode=" + songCode);
}

std::string CatalogueUrl(const ServiceBases& bases) {
  return Compose(bases.Plain + "/cgi-bin/VudazazAreziraro/songdb.aspx");
}

std::string SummaryPageUrl(const ServiceBases& bases, const std::string& email) {
  return Compose(bases.Plain + "/cgi-bin/vudazazareziraro/getsummarypage.asp?EMAIL=" +
                 Field(email) + "&Reseller_Code=SM");
}

std::string PrivacyPageUrl(const ServiceBases& bases) {
  return Compose(bases.Plain + "/privacy.htm");
}

std::string StreamingSongPath(const std::string& account, const std::string& songCode) {
  return "http://AccountID=" + account + "&SongID=" + songCode;
}

}  // namespace lyricade
