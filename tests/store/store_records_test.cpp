// The store's local records and the service's texts: the country table,
// the details file and its cipher, the gift packs, the requests and answers.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/test_folder.h"
#include "common/stream_answer.h"
#include "platform/db/db_connection.h"
#include "store/catalogue_file_check.h"
#include "store/country_table.h"
#include "store/customer_details.h"
#include "store/details_cipher.h"
#include "store/gift_packs.h"
#include "store/purchased_files.h"
#include "store/service_answers.h"
#include "store/store_requests.h"

namespace lyricade {
namespace {

using testing::TestFolder;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Hex(std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

CustomerDetails Sample() {
  CustomerDetails d;
  d.MonthIndex = 4;
  d.YearIndex = 7;
  d.CountryIndex = kDefaultCountryIndex;
  d.CardNumber = "4111111111111111";
  d.ExpiryMonth = "05";
  d.ExpiryYear = "2016";
  d.Cvv = "123";
  d.FirstName = "Mary Ann";
  d.LastName = "O'Neil";
  d.Street = "12 Main St";
  d.City = "Springfield";
  d.State = "IL";
  d.Zip = "62701";
  d.Email = "mary@example.com";
  return d;
}

TEST(CountryTable, KeepsTheRowsTheStoredIndexesName) {
  const auto& rows = CountryTable();
  EXPECT_EQ(rows.size(), 230u);
  EXPECT_EQ(rows.front().Code, "AF");
  EXPECT_EQ(rows.front().Name, "Afghanistan");
  EXPECT_EQ(rows.back().Code, "ZW");
  EXPECT_EQ(rows[213].Code, "US");
  EXPECT_EQ(rows[213].Name, "United States");
  for (size_t i = 1; i < rows.size(); ++i) EXPECT_LT(rows[i - 1].Name, rows[i].Name) << i;
  int oldNames = 0;
  for (const Country& row : rows)
    oldNames += (row.Code == "YU" && row.Name == "Yugoslavia") ||
                (row.Code == "ZR" && row.Name == "Zaire") || row.Name == "East Timor" ||
                (row.Code == "AN" && row.Name == "Netherlands Antilles");
  EXPECT_EQ(oldNames, 4);
  EXPECT_EQ(CountryCode(-1), "");
  EXPECT_EQ(CountryCode(230), "");
}

TEST(DetailsCipher, MatchesKnownAnswers) {
  // RC4's published vector, and the derived key: MD5("QuartzLedger7") is
  // 4e02814ae0d464c7..., of which 5 bytes are kept and 11 zero bytes follow.
  EXPECT_EQ(Hex(Rc4("Key", "Plaintext")), "bbf316e8d940af0ad3");
  const Rc4Key key = DetailsKey();
  EXPECT_EQ(Hex(std::string_view(reinterpret_cast<const char*>(key.data()), key.size())),
            "4e02814ae00000000000000000000000");
  const std::string plain = "Lyricade details";
  EXPECT_NE(DetailsCipher(plain), plain);
  EXPECT_EQ(DetailsCipher(DetailsCipher(plain)), plain);
}

TEST(CustomerDetailsRecord, HasTheFixedLayout) {
  const std::string record = PackDetails(Sample(), true);
  ASSERT_EQ(record.size(), kDetailsRecordSize);
  EXPECT_EQ(record.substr(0, 12), std::string("\x04\0\0\0\x07\0\0\0\xd5\0\0\0", 12));
  EXPECT_EQ(record.substr(12, 17), std::string("4111111111111111\0", 17));
  EXPECT_EQ(record.substr(37, 3), std::string("05\0", 3));
  EXPECT_EQ(record.substr(40, 5), std::string("2016\0", 5));
  EXPECT_EQ(record.substr(45, 4), std::string("123\0", 4));
  EXPECT_EQ(record.substr(50, 8), "Mary Ann");
  EXPECT_EQ(record.substr(91, 6), "O'Neil");
  EXPECT_EQ(record.substr(132, 10), "12 Main St");
  EXPECT_EQ(record.substr(183, 11), "Springfield");
  EXPECT_EQ(record.substr(234, 2), "IL");
  EXPECT_EQ(record.substr(285, 5), "62701");
  EXPECT_EQ(record.substr(296, 16), "mary@example.com");
  EXPECT_EQ(UnpackDetails(record), Sample());

  // Without the digits on the back, and texts too long for a field cut with
  // room for the terminator, never inside a character.
  CustomerDetails longer = Sample();
  longer.Zip = "123456789012345";
  longer.FirstName = std::string(39, 'a') + "\xC3\xA9";
  const CustomerDetails back = UnpackDetails(PackDetails(longer, false));
  EXPECT_EQ(back.Cvv, "");
  EXPECT_EQ(back.Zip, "1234567890");
  EXPECT_EQ(back.FirstName, std::string(39, 'a'));
}

TEST(CustomerDetailsFile, IsPrivateKeepsNoCvvAndReadsOtherSizes) {
  TestFolder folder;
  EXPECT_EQ(LoadDetails(folder.Path()).CountryIndex, -1);  // no file: nothing chosen
  ASSERT_TRUE(SaveDetails(folder.Path(), Sample()));
  const std::string path = folder.File(kDetailsFileName);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  const std::string stored = ReadAll(path);
  ASSERT_EQ(stored.size(), kDetailsRecordSize);
  EXPECT_EQ(DetailsCipher(stored).substr(45, 5), std::string(5, '\0'));
  CustomerDetails expected = Sample();
  expected.Cvv.clear();
  EXPECT_EQ(LoadDetails(folder.Path()), expected);

  // A file of an earlier installation, CVV included, is read as it is and
  // rewritten without the CVV, private; a short one is read as far as it
  // goes, the rest cleared with no country.
  ::chmod(path.c_str(), 0644);
  std::ofstream(path, std::ios::binary) << DetailsCipher(PackDetails(Sample(), true));
  EXPECT_EQ(LoadDetails(folder.Path()).Cvv, "123");
  EXPECT_EQ(DetailsCipher(ReadAll(path)).substr(45, 5), std::string(5, '\0'));
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  std::ofstream(path, std::ios::binary) << DetailsCipher(PackDetails(Sample(), true)).substr(0, 20);
  const CustomerDetails shortRead = LoadDetails(folder.Path());
  EXPECT_EQ(shortRead.YearIndex, 7);
  EXPECT_EQ(shortRead.CountryIndex, kDefaultCountryIndex);
  EXPECT_EQ(shortRead.CardNumber, "41111111");
  EXPECT_EQ(shortRead.Email, "");
  std::ofstream(path, std::ios::binary) << DetailsCipher(std::string(8, '\0'));
  EXPECT_EQ(LoadDetails(folder.Path()).CountryIndex, -1);
}

TEST(GiftPacksFile, RoundTripsCodesAndAmounts) {
  TestFolder folder;
  EXPECT_TRUE(LoadGiftPacks(folder.Path()).empty());
  const std::vector<GiftPack> packs = {{"GP-1", 25}, {"GP-2", kUnknownAmount}, {"GP-3", 0}};
  ASSERT_TRUE(SaveGiftPacks(folder.Path(), packs));
  EXPECT_EQ(ReadAll(folder.File(kGiftPacksFileName)), "GP-1\r\n25\r\nGP-2\r\n-1\r\nGP-3\r\n0\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(folder.File(kGiftPacksFileName).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // prepaid codes are money

  // A crashed download's temporary files go; the host's own files stay.
  std::ofstream(folder.File(".lyricade-ab12cd.part")) << "half";
  std::ofstream(folder.File("mine.part")) << "kept";
  EXPECT_EQ(RemoveDownloadLeftovers(folder.Path()), 1);
  EXPECT_TRUE(std::filesystem::exists(folder.File("mine.part")));
  EXPECT_EQ(LoadGiftPacks(folder.Path()), packs);
  EXPECT_EQ(AmountText(packs[0]), "Amount: 25");
  EXPECT_EQ(AmountText(packs[1]), "Amount: Unknown");
  // A last code without its amount line is kept with an unknown amount.
  std::ofstream(folder.File(kGiftPacksFileName), std::ios::binary) << "A 1\r\n7\r\nB\r\n";
  EXPECT_EQ(LoadGiftPacks(folder.Path()),
            (std::vector<GiftPack>{{"A", 7}, {"B", kUnknownAmount}}));
}

TEST(ServiceRequests, ComposeAsTheServiceReadsThem) {
  const ServiceBases bases{"http://h", "https://h"};
  CustomerDetails d = Sample();
  d.Street = "1 A&B Rd #5";
  d.City = "100% City";
  EXPECT_EQ(BuySongUrl(bases, d, "SC 01"),
            "https://h/cgi-bin/VudazazAreziraro/purchasexmlccSM.asp?CCNUM=4111111111111111&EXPMM=05"
            "&EXPYYYY=2016&CVV=123&COUNTRY=US&FIRSTNAME=Mary_Ann&LASTNAME=O'Neil"
            "&STREET=1_A&B_Rd_%235&CITY=100%25_City&STATE=IL&ZIP=62701&EMAIL=mary@example.com"
            "&RESELLER_CODE=SM&SONG_CODE=SC_01");
  EXPECT_EQ(CreateAccountUrl(bases, d),
            "https://h/cgi-bin/vudazazareziraro/LYRSubs/createaccount.asp?bill_email=mary@example.com"
            "&bill_first_name=Mary_Ann&bill_last_name=O'Neil&bill_country_code=US&bill_phone=N");
  EXPECT_EQ(BuyTimeUrl(bases, d, 1, "A1").substr(BuyTimeUrl(bases, d, 1, "A1").rfind("&RESELLER")),
            "&RESELLER_CODE=SM&PACKNUMBER=M1A&ACCOUNTID=A1");
  EXPECT_NE(BuyGiftPackUrl(bases, d, 3).find("/purchasexmlpackSM.asp?CCNUM="), std::string::npos);
  EXPECT_TRUE(BuyGiftPackUrl(bases, d, 3).ends_with("&RESELLER_CODE=SM&PACK_TYPE=T75A"));
  EXPECT_EQ(ClaimSongUrl(bases, d, "X1", "GP-1"),
            "https://h/cgi-bin/VudazazAreziraro/purchasexmlgiftSM.asp?FIRSTNAME=Mary_Ann"
            "&LASTNAME=O'Neil&EMAIL=mary@example.com&SONG_CODE=X1&GIFTCODE=GP-1&RESELLER_CODE=SM");
  EXPECT_EQ(ExpiryUrl(bases, "A 1"),
            "http://h/cgi-bin/vudazazareziraro/LYRSubs/checksubexpiry.asp?AccountID=A_1");
  EXPECT_EQ(CatalogueUrl(bases), "http://h/cgi-bin/VudazazAreziraro/songdb.aspx");
  EXPECT_EQ(StreamingSongPath("A1", "S9"), "http://AccountID=A1&SongID=S9");
}

TEST(ServiceAnswers, TakeWhatFollowsTheirMarkers) {
  EXPECT_EQ(ParseAccountCode("Hello Account: ACC-7\r\nmore"), "ACC-7");
  EXPECT_FALSE(ParseAccountCode("Account: "));
  EXPECT_FALSE(ParseAccountCode("No account"));

  const auto pack = ParseGiftPackAnswer("OK GIFTPACK, 25, GP-2500 thanks");
  ASSERT_TRUE(pack);
  EXPECT_EQ(pack->Amount, 25);
  EXPECT_EQ(pack->Code, "GP-2500");
  EXPECT_FALSE(ParseGiftPackAnswer("GIFTPACK, many, GP"));
  EXPECT_FALSE(ParseGiftPackAnswer("GIFTPACK, 5,GP"));
  EXPECT_EQ(ParseGiftPackAnswer("GIFTPACK, 99999999999, G")->Amount, 1000000);

  EXPECT_EQ(ParseDownloadUrl("DOWNLOAD: https://h/a.zip\r\n"), "https://h/a.zip");
  EXPECT_FALSE(ParseDownloadUrl("DOWNLOAD: file:///etc/passwd"));
  EXPECT_FALSE(ParseDownloadUrl("Error: card declined"));
  const auto claim = ParseClaimAnswer("DOWNLOAD, 0, http://h/b.zip extra");
  ASSERT_TRUE(claim);
  EXPECT_EQ(claim->Remaining, 0);
  EXPECT_EQ(claim->Url, "http://h/b.zip");
  EXPECT_FALSE(ParseClaimAnswer("DOWNLOAD, 3, ftp://h/b.zip"));

  EXPECT_EQ(ParseStreamFileName("--:STREAM:--My Song.mp3\r\n"), "My Song.mp3");
  // The one reader of the answer, shared with playback: no marker is the
  // service's message; an empty name or one that could change the address
  // it goes back in is refused.
  EXPECT_FALSE(ParseStreamAnswer("Error: no subscription").HasMarker);
  for (const char* hostile : {"--:STREAM:--", "--:STREAM:--a&Type=9", "--:STREAM:--../x.mp3",
                              "--:STREAM:--a\tb.mp3", "--:STREAM:--a#b", "--:STREAM:--a?b=c"}) {
    const StreamAnswer answer = ParseStreamAnswer(hostile);
    EXPECT_TRUE(answer.HasMarker) << hostile;
    EXPECT_FALSE(answer.Name) << hostile;
  }
  const auto prices = ParsePackagePrices("1 Day|$2||1 Month|$9|x");
  ASSERT_TRUE(prices);
  EXPECT_EQ(prices->Day, "1 Day\n$2");
  EXPECT_EQ(prices->Month, "1 Month\n$9|x");
  EXPECT_FALSE(ParsePackagePrices("x"));
}

// A downloaded catalogue is judged by its schema alone; a hostile one is
// refused, and the check itself stops when told to or when its time is up.
TEST(CatalogueFileCheck, RefusesHostileFilesAndStopsWhenAsked) {
  TestFolder folder;
  auto make = [&](const std::string& name, const std::string& sql) {
    const std::string path = folder.File(name);
    DbConnection db;
    EXPECT_TRUE(db.Create(path));
    EXPECT_TRUE(db.Execute(sql));
    return path;
  };
  const std::string good = make("good.mdb",
      "CREATE TABLE Songs(TrackName, Artist, Code, Comp, Price, Genre, ActivateDate, Path);");
  EXPECT_EQ(CatalogueFileProblem(good), "");
  EXPECT_EQ(CatalogueFileProblem(make("view.mdb",
                "CREATE VIEW Songs AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
                "SELECT x AS TrackName FROM n;")),
            "the catalogue holds views or triggers");
  EXPECT_EQ(CatalogueFileProblem(make("short.mdb", "CREATE TABLE Songs(TrackName, Artist);")),
            "the catalogue's Songs has no column code");
  std::ofstream(folder.File("page.mdb")) << "<html>not found</html>";
  EXPECT_EQ(CatalogueFileProblem(folder.File("page.mdb")), "the catalogue does not open");

  const std::atomic<bool> stop{true};
  EXPECT_EQ(CatalogueFileProblem(good, &stop), "the catalogue check was stopped");
  EXPECT_EQ(CatalogueFileProblem(good, nullptr, std::chrono::milliseconds(-1)),
            "the catalogue check was stopped");
}

}  // namespace
}  // namespace lyricade
