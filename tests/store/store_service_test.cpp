// The store's operations against the local vendor service: every happy path,
// the error answers and messages, and the transfers' safety rules.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/app_settings.h"
#include "common/test_folder.h"
#include "playback/zip_test_support.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_import.h"
#include "platform/db/db_connection.h"
#include "platform/db/db_result.h"
#include "platform/net/worker_task.h"
#include "platform/prompts/scripted_prompts.h"
#include "store/store.h"
#include "store/store_progress.h"
#include "store/vendor_service.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;
using testing::FakeCdg;
using testing::FakeMp3;
using testing::WriteZip;
using testing::VendorService;

class RecordedProgress : public StoreProgress {
public:
  void Open(const std::string& title, bool) override { Titles.push_back(title); }
  void SetText(const std::string&) override {}
  bool AbortPressed() const override { return Abort; }
  void Close() override {}
  std::vector<std::string> Titles;
  bool Abort = false;
};

std::string MakeFolder(const std::string& path) {
  fs::create_directories(path);
  return path;
}

// The files of a folder, by name.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class StoreService : public ::testing::Test {
protected:
  StoreService() : database_(prompts_), import_(database_) {}

  void SetUp() override {
    data_ = MakeFolder(folder_.File("data/"));
    out_ = MakeFolder(folder_.File("out/"));
    const std::string service = MakeFolder(folder_.File("service/"));
    ASSERT_TRUE(SeedDatabaseFiles(data_, LYRICADE_TEST_RESOURCES));
    ASSERT_TRUE(WriteZip(service + "song.zip", {{"song.mp3", FakeMp3(4)}, {"song.cdg", FakeCdg(8)}}));
    // The vendor's newer catalogue: the seeded one with one song in it.
    fs::copy_file(data_ + "songdb.mdb", service + "catalogue.mdb");
    DbConnection catalogue;
    ASSERT_TRUE(catalogue.Open(service + "catalogue.mdb"));
    ASSERT_TRUE(catalogue.Execute(
        "INSERT INTO Songs (Trackname, Artist, Code) VALUES ('New Song', 'New Artist', 'N1');"));
    catalogue.Close();

    service_ = std::make_unique<VendorService>(
        service, testing::VendorFiles{service + "song.zip", service + "catalogue.mdb", "", ""});
    ASSERT_TRUE(service_->Ready());
    http_.SetExtraCaFile(service_->CaFile());
    http_.SetTimeouts({3, 3});
    database_.SetDataFolder(data_);
    ASSERT_TRUE(database_.OpenLibrary());
    ASSERT_TRUE(database_.OpenCatalogue());
    settings_.DownloadFolder = out_;
    StoreHooks hooks;
    hooks.Connected = [this] { return connected_; };
    hooks.OpenPage = [this](const std::string& url) { pages_.push_back(url); };
    hooks.CatalogueReplaced = [this] { ++reloads_; };
    hooks.BusyChanged = [this](bool busy) {
      if (busy && onBusy_) onBusy_();
    };
    store_ = std::make_unique<Store>(http_, prompts_, progress_, settings_, database_, import_,
                                     ServiceBases{service_->HttpBase(), service_->HttpsBase()},
                                     hooks);
    store_->LoadLists();
  }

  void TearDown() override { database_.Close(); }

  void FillCard(bool withCvv = true) {
    CustomerDetails d;
    d.CardNumber = "4111 1111";
    d.ExpiryMonth = "05";
    d.ExpiryYear = "2030";
    d.Cvv = withCvv ? "123" : "";
    d.FirstName = "Mary Ann";
    d.LastName = "Smith";
    d.Email = "mary@example.com";
    d.CountryIndex = 213;
    store_->SetDetails(d);
  }

  void SignIn() {
    FillCard();
    store_->SignIn();
    prompts_.ClearShown();
  }

  // The one box shown since the last clear, as "caption|text".
  std::string OnlyBox() {
    if (prompts_.Shown().size() != 1) return "boxes: " + std::to_string(prompts_.Shown().size());
    const ShownPrompt shown = prompts_.Shown()[0];
    prompts_.ClearShown();
    return shown.Caption + "|" + shown.Text;
  }

  long LibraryRowsFor(const std::string& path) {
    DbResult rows;
    EXPECT_TRUE(rows.Open(database_.LibraryPath(),
                          "SELECT * FROM Items WHERE SongPath = '" + path + "';"));
    return rows.RecordCount();
  }

  CatalogueSong Song(std::string code = "SC-1") {
    return CatalogueSong{"Title One", "Artist One", std::move(code), false};
  }

  TestFolder folder_;
  std::string data_, out_;
  ScriptedPrompts prompts_;
  RecordedProgress progress_;
  AppSettings settings_;
  LibraryDatabase database_;
  LibraryImport import_;
  HttpClient http_;
  std::unique_ptr<VendorService> service_;
  std::unique_ptr<Store> store_;
  bool connected_ = true;
  std::vector<std::string> pages_;
  int reloads_ = 0;
  std::function<void()> onBusy_;
};

TEST_F(StoreService, SignInNeedsDetailsThenFetchesAccountStatusAndPrices) {
  const char caption[] = "Sign In/Create Subscription Account|";
  store_->SignIn();
  EXPECT_EQ(OnlyBox(), caption + std::string("You must provide an email address in the Credit Card "
                                             "details to create a Streaming Account."));
  CustomerDetails d;
  d.Email = "mary@example.com";
  d.FirstName = "M";
  d.LastName = "Smith";
  store_->SetDetails(d);
  store_->SignIn();
  EXPECT_EQ(OnlyBox(), caption + std::string("You must provide your name in the Credit Card details "
                                             "to create a Streaming Account."));
  d.FirstName = "Mary Ann";
  store_->SetDetails(d);
  store_->SignIn();
  EXPECT_EQ(OnlyBox(), caption + std::string("You must provide your Country Selection in the Credit "
                                             "Card details to create a Streaming Account."));
  EXPECT_TRUE(service_->Requests().empty());

  EXPECT_EQ(store_->AccountText(), "No Subscription");
  d.CountryIndex = 213;
  store_->SetDetails(d);
  store_->SignIn();
  EXPECT_EQ(store_->AccountCode(), "ACC-1001");
  EXPECT_EQ(store_->StatusText(), "Subscription valid until 2027-12-31");
  EXPECT_EQ(store_->DayLabel(), "1 Day\n$2.99");
  EXPECT_EQ(store_->MonthLabel(), "1 Month\n$19.99");
  ASSERT_EQ(prompts_.Shown().size(), 2u);
  EXPECT_EQ(prompts_.Shown()[0].Caption, "Sign in/Create Account");
  EXPECT_EQ(prompts_.Shown()[0].Text, "Successfully Signed In");
  EXPECT_EQ(prompts_.Shown()[1].Caption, "Subscription valid until 2027-12-31");
  EXPECT_EQ(prompts_.Shown()[1].Text, "Subscription valid until 2027-12-31");
  EXPECT_EQ(service_->RequestsFor("createaccount.asp"),
            std::vector<std::string>{"/cgi-bin/vudazazareziraro/LYRSubs/createaccount.asp?"
                                     "bill_email=mary@example.com&bill_first_name=Mary_Ann"
                                     "&bill_last_name=Smith&bill_country_code=US&bill_phone=N"});
  EXPECT_EQ(service_->RequestsFor("checksubexpiry.asp?AccountID=ACC-1001").size(), 1u);

  // A refusal, and a service that does not answer the expiry check.
  prompts_.ClearShown();
  service_->Set("createaccount", "Sorry");
  service_->Set("checksubexpiry", "!fail");
  store_->SignIn();
  ASSERT_EQ(prompts_.Shown().size(), 2u);
  EXPECT_EQ(prompts_.Shown()[0].Text, "Could not create or retrieve account");
  EXPECT_EQ(prompts_.Shown()[1].Text, "Connection Failure");
}

TEST_F(StoreService, SubscriptionTimeNeedsConnectionAccountAndCard) {
  connected_ = false;
  store_->BuySubscriptionTime(0);
  EXPECT_EQ(OnlyBox(), "Add Streaming Time|You can NOT Purchase Streaming Time without being "
                       "connected to the internet.");
  connected_ = true;
  store_->BuySubscriptionTime(0);
  EXPECT_EQ(OnlyBox(), "Add Streaming Time|Create or Signin to your account first");
  SignIn();
  CustomerDetails noCard;
  noCard.Email = "mary@example.com";
  store_->SetDetails(noCard);
  store_->BuySubscriptionTime(0);
  EXPECT_EQ(OnlyBox(), "Credit Card Details|Please complete your Credit Card details to make a "
                       "purchase.");

  FillCard();
  service_->Set("checksubexpiry", "Valid until 2028-01-31");
  store_->BuySubscriptionTime(1);
  EXPECT_EQ(store_->StatusText(), "Valid until 2028-01-31");
  EXPECT_EQ(progress_.Titles.back(), "Please Wait....");
  const auto bought = service_->RequestsFor("/LYRSubs/purchasesubtime.asp?CCNUM=4111_1111");
  ASSERT_EQ(bought.size(), 1u);
  EXPECT_TRUE(bought[0].ends_with("&RESELLER_CODE=SM&PACKNUMBER=M1A&ACCOUNTID=ACC-1001"));
  prompts_.ClearShown();
  service_->Set("purchasesubtime", "Card declined");
  store_->BuySubscriptionTime(0);
  EXPECT_EQ(OnlyBox(), "Streaming Time Purchase Error|Card declined");
}

TEST_F(StoreService, GiftPacksAreBoughtAddedAndRemoved) {
  FillCard();
  EXPECT_TRUE(store_->BuyGiftPack(1));
  ASSERT_EQ(store_->GiftPacks().size(), 1u);
  EXPECT_EQ(store_->GiftPacks()[0], (GiftPack{"GP-2500", 25}));
  EXPECT_EQ(store_->SelectedAmountText(), "Amount: 25");
  EXPECT_TRUE(service_->RequestsFor("purchasexmlpackSM.asp")[0].ends_with("&PACK_TYPE=T25A"));
  service_->Set("purchasexmlpack", "Error: declined");
  EXPECT_FALSE(store_->BuyGiftPack(0));
  EXPECT_EQ(OnlyBox(), "Gift Pack Purchase Error|Error: declined");

  EXPECT_FALSE(store_->AddGiftPackCode(" rest"));
  EXPECT_EQ(OnlyBox(), "Gift Pack|Please enter a Gift Pack Code.");
  EXPECT_TRUE(store_->AddGiftPackCode("GP-77 rest"));
  EXPECT_EQ(store_->SelectedAmountText(), "Amount: Unknown");
  EXPECT_EQ(LoadGiftPacks(data_), (std::vector<GiftPack>{{"GP-2500", 25}, {"GP-77", kUnknownAmount}}));

  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->RemoveSelectedGiftPack();
  EXPECT_EQ(OnlyBox(), "Remove Gift Pack|Remove Gift Pack?");
  EXPECT_EQ(LoadGiftPacks(data_), (std::vector<GiftPack>{{"GP-2500", 25}}));
}

TEST_F(StoreService, ABoughtSongLandsInTheLibraryOnce) {
  FillCard(false);
  prompts_.QueueInput("321");  // asked for, never stored
  prompts_.QueueAnswer(PromptAnswer::Yes);
  const CatalogueSong song = Song();
  store_->BuyOrClaimSong(&song);
  const std::string target = out_ + "Artist One - Title One - SC-1.ZIP";
  EXPECT_EQ(store_->TargetPath(song), target);
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(Names(out_), std::vector<std::string>{"Artist One - Title One - SC-1.ZIP"});
  EXPECT_EQ(LibraryRowsFor(target), 1);
  ASSERT_EQ(prompts_.Shown().size(), 2u);
  EXPECT_EQ(prompts_.Shown()[0].Kind, PromptKind::Input);
  EXPECT_EQ(prompts_.Shown()[1].Text, "Complete Purchase of Song?");
  EXPECT_EQ(progress_.Titles.back(), "Purchasing and Saving Song to Computer...");
  EXPECT_NE(service_->RequestsFor("purchasexmlccSM.asp")[0].find("&CVV=321&"), std::string::npos);
  EXPECT_EQ(LoadDetails(data_).Cvv, "");

  // Bought already: the file is offered to the library instead.
  prompts_.ClearShown();
  EXPECT_TRUE(store_->IsPurchased(song));
  store_->BuyOrClaimSong(&song);
  EXPECT_EQ(OnlyBox(), "Song Available|The Song is on the computer, would you like to add it to "
                       "the Database?");
  EXPECT_EQ(service_->RequestsFor("purchasexmlccSM.asp").size(), 1u);

  // A second click while the purchase runs buys nothing more, even when the
  // host would say yes to it.
  const CatalogueSong other = Song("SC-2");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  prompts_.QueueAnswer(PromptAnswer::Yes);
  onBusy_ = [&] { store_->BuyOrClaimSong(&other); };
  store_->BuyOrClaimSong(&other);
  EXPECT_EQ(service_->RequestsFor("purchasexmlccSM.asp").size(), 2u);

  // The vendor's names stay inside the output folder.
  const CatalogueSong hostile{std::string(300, 'x') + "/\n", "../../etc", "a\\b", false};
  const std::string name = fs::path(store_->TargetPath(hostile)).filename();
  EXPECT_EQ(fs::path(store_->TargetPath(hostile)).parent_path(), fs::path(out_).parent_path());
  EXPECT_LE(name.size(), 255u);
  EXPECT_TRUE(name.starts_with(".. .. etc - xxx"));
  EXPECT_TRUE(name.ends_with(".ZIP"));
}

TEST_F(StoreService, FailedAndAbortedDownloadsLeaveNothing) {
  FillCard();
  const CatalogueSong song = Song();
  for (const char* mode : {"!fail", "!truncate", "<html>Sorry, try later</html>"}) {
    service_->Set("song", mode);
    prompts_.QueueAnswer(PromptAnswer::Yes);
    store_->BuyOrClaimSong(&song);
    ASSERT_EQ(prompts_.Shown().size(), 2u) << mode;
    EXPECT_EQ(prompts_.Shown()[1].Caption, "Song Purchase Error");
    EXPECT_TRUE(prompts_.Shown()[1].Text.starts_with("Download failed: ")) << prompts_.Shown()[1].Text;
    prompts_.ClearShown();
  }
  service_->Set("song", "!stall");
  progress_.Abort = true;
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&song);
  EXPECT_EQ(prompts_.Shown().size(), 1u);  // the question only
  EXPECT_TRUE(Names(out_).empty());
  EXPECT_EQ(LibraryRowsFor(store_->TargetPath(song)), 0);

  // Error answers, and a download address that is not a web address.
  prompts_.ClearShown();
  progress_.Abort = false;
  service_->Set("purchasexmlcc", "Error: card declined");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&song);
  EXPECT_EQ(prompts_.Shown().back().Caption, "Song Purchase Error");
  EXPECT_EQ(prompts_.Shown().back().Text, "Error: card declined");
  service_->Set("purchasexmlcc", "DOWNLOAD: file:///etc/passwd");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&song);
  EXPECT_TRUE(Names(out_).empty());

  settings_.DownloadFolder = folder_.File("missing/");
  prompts_.ClearShown();
  store_->BuyOrClaimSong(&song);
  EXPECT_EQ(OnlyBox(), "Output Folder Invalid|Please Change Your Output Folder, Folder is Invalid.");
}

TEST_F(StoreService, GiftPackClaimsCountDownToEmpty) {
  FillCard();
  ASSERT_TRUE(store_->BuyGiftPack(0));
  const CatalogueSong song = Song("SC-9");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&song);
  EXPECT_EQ(prompts_.Shown().back().Text, "Claim Song with Gift Pack?");
  EXPECT_EQ(service_->RequestsFor("purchasexmlgiftSM.asp")[0],
            "/cgi-bin/VudazazAreziraro/purchasexmlgiftSM.asp?FIRSTNAME=Mary_Ann&LASTNAME=Smith"
            "&EMAIL=mary@example.com&SONG_CODE=SC-9&GIFTCODE=GP-2500&RESELLER_CODE=SM");
  EXPECT_EQ(LibraryRowsFor(store_->TargetPath(song)), 1);
  EXPECT_EQ(store_->SelectedAmountText(), "Amount: 24");

  // The last song: remaining amount 0 keeps the pack; then it is empty.
  service_->Set("purchasexmlgift", "DOWNLOAD, 0, {http}/files/song.zip");
  const CatalogueSong next = Song("SC-10");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&next);
  EXPECT_EQ(LoadGiftPacks(data_), (std::vector<GiftPack>{{"GP-2500", 0}}));
  prompts_.ClearShown();
  service_->Set("purchasexmlgift", "GIFTPACK EMPTY");
  const CatalogueSong third = Song("SC-11");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&third);
  EXPECT_EQ(prompts_.Shown().back().Caption, "Empty Gift Pack");
  EXPECT_EQ(prompts_.Shown().back().Text, "This Gift Pack is Empty");
  service_->Set("purchasexmlgift", "Unknown code");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&third);
  EXPECT_EQ(prompts_.Shown().back().Caption, "Gift Pack Claim Error");
  EXPECT_FALSE(fs::exists(store_->TargetPath(third)));
}

TEST_F(StoreService, StreamsPreviewsAndPages) {
  CatalogueSong stream = Song("ST-1");
  EXPECT_FALSE(store_->AddStream(nullptr));
  EXPECT_EQ(OnlyBox(), "Add Stream|Select a song first.");
  EXPECT_FALSE(store_->AddStream(&stream));
  EXPECT_EQ(OnlyBox(), "Add Stream|This is not a Streaming item, select a Yellow item for streaming");
  stream.Streaming = true;
  connected_ = false;
  EXPECT_FALSE(store_->AddStream(&stream));
  EXPECT_EQ(OnlyBox(), "Add Stream|You can NOT Stream without being connected to the internet.");
  connected_ = true;
  EXPECT_FALSE(store_->AddStream(&stream));
  EXPECT_EQ(OnlyBox(), "Add Stream|Create or Signin to your account first");
  SignIn();
  EXPECT_EQ(store_->AddStream(&stream), "http://AccountID=ACC-1001&SongID=ST-1");

  EXPECT_FALSE(store_->PreviewAddress(nullptr));
  EXPECT_EQ(OnlyBox(), "Preview Song|Select a song to preview first.");
  EXPECT_EQ(store_->PreviewAddress(&stream),
            service_->HttpBase() +
                "/cgi-bin/vudazazareziraro/LYRSubs/downloadpreviewMP3.aspx?SongCode=ST-1");

  store_->MyDownloads();
  store_->SetDetails(CustomerDetails{});
  store_->MyDownloads();
  EXPECT_EQ(OnlyBox(), "My Downloads Summary|You must provide an email address in the Credit Card "
                       "details to review your My Downloads summary.");
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_EQ(pages_[0], service_->HttpBase() + "/cgi-bin/vudazazareziraro/getsummarypage.asp?"
                                              "EMAIL=mary@example.com&Reseller_Code=SM");
}

TEST_F(StoreService, UpdateListingsReplacesOnlyWithACompleteCatalogue) {
  auto songs = [this] {
    DbResult rows;
    rows.Open(database_.CataloguePath(), "SELECT * FROM Songs;");
    return rows.RecordCount();
  };
  connected_ = false;
  store_->UpdateListings();
  EXPECT_EQ(OnlyBox(), "update Listings|You can not update unless you are connected to the internet.");
  connected_ = true;
  store_->UpdateListings();  // cancelled
  EXPECT_EQ(OnlyBox(), "Update Listings|Are you ready to update listings?");
  EXPECT_TRUE(service_->RequestsFor("songdb.aspx").empty());

  for (const char* bad : {"not a database at all", "!fail", "!truncate"}) {
    service_->Set("songdb", bad);
    prompts_.QueueAnswer(PromptAnswer::Ok);
    store_->UpdateListings();
    ASSERT_EQ(prompts_.Shown().size(), 2u) << bad;
    EXPECT_TRUE(prompts_.Shown()[1].Text.starts_with("Download failed: ")) << bad;
    prompts_.ClearShown();
    EXPECT_EQ(songs(), 0);
  }
  EXPECT_EQ(reloads_, 0);

  // Hostile catalogues: an endless recursive view as Songs, a trigger, a
  // Songs without the columns the list reads. None replaces the old one.
  const std::string served = folder_.File("service/catalogue.mdb");
  fs::copy_file(served, folder_.File("service/good.mdb"));
  service_->Set("songdb", "");  // the served file again
  for (const char* schema :
       {"CREATE VIEW Songs AS WITH RECURSIVE r(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM r) "
        "SELECT x AS Trackname, x AS Artist, x AS Code, x AS Comp, x AS Price, x AS Genre, "
        "x AS ActivateDate, x AS Path FROM r;",
        "CREATE TABLE Songs (Trackname, Artist, Code, Comp, Price, Genre, ActivateDate, Path);"
        "CREATE TABLE t (x); CREATE TRIGGER g AFTER INSERT ON t BEGIN SELECT 1; END;",
        "CREATE TABLE Songs (Trackname, Artist);"}) {
    fs::remove(served);
    DbConnection hostile;
    ASSERT_TRUE(hostile.Create(served));
    ASSERT_TRUE(hostile.Execute(schema));
    hostile.Close();
    prompts_.QueueAnswer(PromptAnswer::Ok);
    store_->UpdateListings();
    ASSERT_EQ(prompts_.Shown().size(), 2u) << schema;
    EXPECT_TRUE(prompts_.Shown()[1].Text.starts_with("Download failed: the catalogue")) << schema;
    prompts_.ClearShown();
  }
  EXPECT_EQ(reloads_, 0);
  fs::remove(served);
  fs::copy_file(folder_.File("service/good.mdb"), served);

  service_->Set("songdb", "!redirect:2");
  prompts_.QueueAnswer(PromptAnswer::Ok);
  store_->UpdateListings();
  EXPECT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(songs(), 1);
  EXPECT_EQ(reloads_, 1);
  EXPECT_TRUE(database_.CatalogueOpen());
  EXPECT_EQ(progress_.Titles.back(), "Update Listings");
  EXPECT_EQ(Names(data_), (std::vector<std::string>{"collections.mdb", "songdb.mdb"}));
}

TEST_F(StoreService, TransfersVerifyRedirectAndGiveUp) {
  const std::string packages =
      service_->HttpsBase() + "/cgi-bin/vudazazareziraro/LYRSubs/packages.txt";
  EXPECT_EQ(http_.FetchText(packages), "1 Day|$2.99||1 Month|$19.99");
  HttpClient untrusting;  // the system's CAs only
  untrusting.SetTimeouts({3, 3});
  EXPECT_EQ(untrusting.FetchText(packages), "");
  EXPECT_EQ(untrusting.DownloadToFile(service_->HttpsBase() + "/files/song.zip", out_ + "x.zip",
                                     DownloadKind::Song),
            DownloadResult::Failed);

  service_->Set("packages", "!redirect:5");
  EXPECT_EQ(http_.FetchText(packages), "1 Day|$2.99||1 Month|$19.99");
  service_->Set("packages", "!redirect:6");
  EXPECT_EQ(http_.FetchText(packages), "");
  service_->Set("packages", "!location:file:///etc/hostname");
  EXPECT_EQ(http_.FetchText(packages), "");
  service_->Set("packages", "!long");
  EXPECT_EQ(http_.FetchText(packages), std::string(1023, 'L'));
  service_->Set("packages", "!hang");
  EXPECT_EQ(http_.FetchText(packages), "");
  service_->Set("song", "!stall");
  std::string error;
  EXPECT_EQ(http_.DownloadToFile(service_->HttpBase() + "/files/song.zip", out_ + "x.zip",
                                DownloadKind::Song, {}, &error),
            DownloadResult::Failed);
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(Names(out_).empty());
}

// A broken or hostile service can hold no transfer for long, fill no disk,
// hide no error text and put no card into a log.
TEST_F(StoreService, HostileAnswersAreBoundedCancellableAndKeptOutOfTheLogs) {
  const std::string packages = service_->HttpBase() + "/cgi-bin/vudazazareziraro/LYRSubs/packages.txt";
  service_->Set("packages", "!endless");
  EXPECT_EQ(http_.FetchText(packages), std::string(1023, 'E'));
  service_->Set("packages", "!drip");
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(http_.FetchText(packages), "");  // a byte every 0.9 s is below the floor
  EXPECT_LT(clock.elapsed(), 8000);
  service_->Set("packages", "!status:500:Error: card declined");
  EXPECT_EQ(http_.FetchText(packages), "Error: card declined");

  std::string error;
  const std::string song = service_->HttpBase() + "/files/song.zip";
  service_->Set("song", "!oversize");
  EXPECT_EQ(http_.DownloadToFile(song, out_ + "x.zip", DownloadKind::Song, {}, &error),
            DownloadResult::Failed);
  service_->Set("song", "!endless");  // no length declared: counted as it arrives
  EXPECT_EQ(http_.DownloadToFile(song, out_ + "x.zip", DownloadKind::Graphics, {}, &error),
            DownloadResult::Failed);
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
  EXPECT_TRUE(Names(out_).empty());

  // Shutdown's cancel ends a transfer to a silent service at once.
  service_->Set("packages", "!hang");
  HttpClient patient;
  patient.SetTimeouts({60, 60, 60});
  std::thread stopper([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    CancelRunningTransfers();
  });
  clock.restart();
  EXPECT_EQ(patient.FetchText(packages), "");
  EXPECT_LT(clock.elapsed(), 3000);
  stopper.join();

  // A declined purchase says so, and no log line carries the card.
  static std::string logged;
  logged.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { logged += text.toStdString() + "\n"; });
  FillCard();
  service_->Set("purchasexmlcc", "!fail");
  prompts_.ClearShown();
  prompts_.QueueAnswer(PromptAnswer::Yes);
  const CatalogueSong row = Song();
  store_->BuyOrClaimSong(&row);
  service_->Set("song", "!stall");
  service_->Set("purchasexmlcc", "DOWNLOAD: {http}/files/song.zip?token=SECRET");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  store_->BuyOrClaimSong(&row);
  qInstallMessageHandler(previous);
  ASSERT_GE(prompts_.Shown().size(), 2u);
  EXPECT_EQ(prompts_.Shown()[1].Caption, "Song Purchase Error");
  EXPECT_EQ(prompts_.Shown()[1].Text, "Connection Failure");
  EXPECT_EQ(logged.find("4111"), std::string::npos) << logged;
  EXPECT_EQ(logged.find("SECRET"), std::string::npos) << logged;
  EXPECT_NE(logged.find("/files/song.zip"), std::string::npos) << logged;

  // Quitting while the UI thread waits on a silent service ends the wait
  // too (last: the application stays quitting).
  QTimer::singleShot(300, [] { QCoreApplication::exit(0); });
  std::string answer = "unchanged";
  clock.restart();
  RunOnWorker([&] { answer = patient.FetchText(packages); });
  EXPECT_EQ(answer, "");
  EXPECT_LT(clock.elapsed(), 3000);
}

}  // namespace
}  // namespace lyricade
