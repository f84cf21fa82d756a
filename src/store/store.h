#pragma once
// The store: everything the host does with the vendor's web service (sign
// in, subscription time, gift packs, buying and claiming songs, streams,
// catalogue updates) as plain steps with no widgets. Questions and messages
// go through Prompts, progress through StoreProgress; the song manager
// window only routes its commands here.
//
// Each transfer runs on a worker thread while the UI thread keeps its
// events going (the lyrics never freeze). While an operation runs the store
// is busy: every operation started meanwhile returns at once, so a second
// click can never buy a song twice; the window disables its commands on
// BusyChanged.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/http_client.h"
#include "store/customer_details.h"
#include "store/gift_packs.h"
#include "store/store_requests.h"

namespace lyricade {

class AppSettings;
class LibraryDatabase;
class LibraryImport;
class Prompts;
class StoreProgress;

// One catalogue row as the store needs it.
struct CatalogueSong {
  std::string Title;
  std::string Artist;
  std::string Code;
  bool Streaming = false;  // "S" in the type column
};

struct StoreHooks {
  // Whether an internet connection exists (default: the system's answer).
  std::function<bool()> Connected;
  // Opens a page in the host's browser.
  std::function<void(const std::string& url)> OpenPage;
  // "songdb.mdb" was replaced: the catalogue list reloads.
  std::function<void()> CatalogueReplaced;
  // The store became busy or idle.
  std::function<void(bool busy)> BusyChanged;
};

class Store {
public:
  // The details and gift-pack files live in the database's data folder (set
  // before the store is made); bought songs go to the settings' download
  // folder and are added through `import`.
  Store(HttpClient& http, Prompts& prompts, StoreProgress& progress, AppSettings& settings,
        LibraryDatabase& database, LibraryImport& import, ServiceBases bases,
        StoreHooks hooks = {});

  // The window's start: the stored details and gift packs.
  void LoadLists();

  const CustomerDetails& Details() const { return details_; }
  // The details dialog's OK: kept for the run, saved without the digits on
  // the back of the card.
  void SetDetails(const CustomerDetails& details);

  const std::vector<GiftPack>& GiftPacks() const { return packs_; }
  // -1: "<No Gift Pack>".
  int SelectedGiftPack() const { return selectedPack_; }
  void SelectGiftPack(int index);
  // "Amount: %d" / "Amount: Unknown" for the selected pack; empty for none.
  std::string SelectedAmountText() const;

  // "No Subscription" until the service gives them.
  std::string AccountText() const;
  std::string StatusText() const;
  const std::string& AccountCode() const { return account_; }
  const std::string& DayLabel() const { return dayLabel_; }
  const std::string& MonthLabel() const { return monthLabel_; }

  bool Busy() const { return busy_; }

  // The operations.
  void SignIn();
  void CheckExpiry();
  void LoadPackagePrices();
  void BuySubscriptionTime(int pack);
  // True when a pack was bought and added (the dialog closes).
  bool BuyGiftPack(int type);
  // A pack bought elsewhere, by its typed code. True when added.
  bool AddGiftPackCode(const std::string& typed);
  void RemoveSelectedGiftPack();
  void BuyOrClaimSong(const CatalogueSong* row);
  // The playlist path to queue, or nullopt (the reason was shown).
  std::optional<std::string> AddStream(const CatalogueSong* row);
  // The address the preview plays, or nullopt (the reason was shown).
  std::optional<std::string> PreviewAddress(const CatalogueSong* row);
  void UpdateListings();
  void MyDownloads();
  void PrivacyPolicy();

  // The output folder's file for a song: artist, title and code with path
  // separators and control characters blanked, cut to 255 bytes.
  std::string TargetPath(const CatalogueSong& song) const;
  // The song's file in the output folder, its ".ZIP" in any letter case
  // (copied in by hand); empty when there is none.
  std::string PurchasedFile(const CatalogueSong& song) const;
  // "Purchased": that file exists.
  bool IsPurchased(const CatalogueSong& song) const;

private:
  class BusyScope;
  std::string Fetch(const std::string& url);
  DownloadResult Download(const std::string& url, const std::string& path, DownloadKind kind,
                          std::string* error, const DownloadCheck& check = {});
  void CheckExpiryStep();
  void LoadPricesStep();
  bool CardReady();
  bool Connected(const char* caption, const char* text);
  void SavePacks();
  void DownloadAndAdd(const std::string& url, const std::string& target);
  std::string OutputFolder() const;

  HttpClient& http_;
  Prompts& prompts_;
  StoreProgress& progress_;
  AppSettings& settings_;
  LibraryDatabase& database_;
  LibraryImport& import_;
  ServiceBases bases_;
  StoreHooks hooks_;
  std::string dataFolder_;

  CustomerDetails details_;
  std::vector<GiftPack> packs_;
  int selectedPack_ = -1;
  std::string account_;
  std::string status_;
  std::string dayLabel_ = "1 Day";
  std::string monthLabel_ = "1 Month";
  bool busy_ = false;
  bool fetchAborted_ = false;  // the last Fetch ended by "Abort..."
};

}  // namespace lyricade
