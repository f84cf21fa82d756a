#include "store/store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>

#include "common/app_settings.h"
#include "common/path_pieces.h"
#include "common/text_file.h"
#include "common/field_text.h"
#include "library/library_database.h"
#include "library/library_import.h"
#include "platform/net/connection_check.h"
#include "platform/net/worker_task.h"
#include "platform/prompts/prompts.h"
#include "playback/zip_archive_reader.h"
#include "store/catalogue_file_check.h"
#include "store/purchased_files.h"
#include "store/service_answers.h"
#include "store/store_log.h"
#include "store/store_progress.h"

namespace lyricade {
namespace {

constexpr const char kNoSubscription[] = "No Subscription";
constexpr const char kCardCaption[] = "Credit Card Details";
constexpr const char kSignInCaption[] = "Sign In/Create Subscription Account";
constexpr const char kPleaseWait[] = "Please Wait....";
constexpr const char kUpdateCaption[] = "Update Listings";

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A piece of a file name from the vendor's data: nothing in it may name
// another folder or break a line.
std::string NamePiece(const std::string& text) {
  std::string piece = BlankControlCharacters(text);
  for (char& c : piece)
    if (c == '/' || c == '\\') c = ' ';
  return piece;
}

// A bought song is a ZIP holding a song's media; an error page sent with
// status 200 is not.
std::string SongArchiveProblem(const std::string& path) {
  ZipArchiveReader zip;
  if (!zip.Open(path)) return "the download is not a ZIP archive";
  static const char* const kMedia[] = {".mp3", ".cdg", ".mp4", ".avi", ".mkv", ".mpg",
                                       ".wmv", ".wav", ".ogg", ".flac", ".m4a", ".wma"};
  for (ZipStep step = zip.FirstEntry(); step == ZipStep::Entry; step = zip.NextEntry()) {
    const std::optional<ZipEntryInfo> entry = zip.CurrentEntryInfo();
    if (!entry || entry->IsFolder || entry->Name.size() < 4) continue;
    std::string extension = entry->Name.substr(entry->Name.size() - 4);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* media : kMedia)
      if (extension == media) return {};
  }
  return "the ZIP archive holds no song";
}

}  // namespace

std::string ProgressText(double done, double expected) {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f / %.0f", done, expected);
  return text;
}

// Marks the store busy for one operation. An operation asked for while
// another runs (from the events handled during its transfer) is refused.
class Store::BusyScope {
public:
  explicit BusyScope(Store& store) : store_(store), refused_(store.busy_) {
    if (refused_) return;
    store_.busy_ = true;
    if (store_.hooks_.BusyChanged) store_.hooks_.BusyChanged(true);
  }
  ~BusyScope() {
    if (refused_) return;
    store_.busy_ = false;
    if (store_.hooks_.BusyChanged) store_.hooks_.BusyChanged(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  bool Refused() const { return refused_; }

private:
  Store& store_;
  bool refused_;
};

// Closes the progress window however the step ends.
class ProgressWindow {
public:
  ProgressWindow(StoreProgress& progress, const std::string& title, bool abortable)
      : progress_(progress) {
    progress_.Open(title, abortable);
  }
  ~ProgressWindow() { progress_.Close(); }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

private:
  StoreProgress& progress_;
};

Store::Store(HttpClient& http, Prompts& prompts, StoreProgress& progress, AppSettings& settings,
             LibraryDatabase& database, LibraryImport& import, ServiceBases bases,
             StoreHooks hooks)
    : http_(http),
      prompts_(prompts),
      progress_(progress),
      settings_(settings),
      database_(database),
      import_(import),
      bases_(std::move(bases)),
      hooks_(std::move(hooks)),
      dataFolder_(database.DataFolder()) {
  if (!hooks_.Connected) hooks_.Connected = [] { return InternetConnected(); };
  // A run that ended during a download left its temporary file behind.
  RemoveDownloadLeftovers(dataFolder_);
  RemoveDownloadLeftovers(OutputFolder());
}

void Store::LoadLists() {
  if (busy_) return;
  const std::string cvv = details_.Cvv;
  details_ = LoadDetails(dataFolder_);
  // The digits on the back live only in memory for the run.
  if (details_.Cvv.empty()) details_.Cvv = cvv;
  packs_ = LoadGiftPacks(dataFolder_);
  selectedPack_ = -1;
}

void Store::SetDetails(const CustomerDetails& details) {
  details_ = details;
  SaveDetails(dataFolder_, details_);
}

void Store::SelectGiftPack(int index) {
  selectedPack_ = (index >= 0 && index < static_cast<int>(packs_.size())) ? index : -1;
}

std::string Store::SelectedAmountText() const {
  return selectedPack_ < 0 ? std::string() : AmountText(packs_[static_cast<size_t>(selectedPack_)]);
}

std::string Store::AccountText() const { return account_.empty() ? kNoSubscription : account_; }
std::string Store::StatusText() const { return status_.empty() ? kNoSubscription : status_; }

std::string Store::Fetch(const std::string& url) {
  std::string answer;
  // The open progress window's "Abort..." ends the request.
  std::atomic<bool> abort{false};
  WorkerWait wait;
  wait.Tick = [&] {
    if (progress_.AbortPressed()) abort = true;
  };
  RunOnWorker([&] { answer = http_.FetchText(url, &abort); }, wait);
  fetchAborted_ = abort.load();
  return answer;
}

DownloadResult Store::Download(const std::string& url, const std::string& path,
                               DownloadKind kind, std::string* error, const DownloadCheck& check) {
  std::atomic<double> done{0};
  std::atomic<double> expected{0};
  std::atomic<bool> abort{false};
  const DownloadProgress report = [&](double now, double total) {
    done = now;
    expected = total;
    return !abort.load();
  };
  WorkerWait wait;
  wait.Tick = [&] {
    progress_.SetText(ProgressText(done, expected));
    if (progress_.AbortPressed()) abort = true;
  };
  DownloadResult result = DownloadResult::NotOpened;
  progress_.SetText(ProgressText(0, 0));
  RunOnWorker([&] { result = http_.DownloadToFile(url, path, kind, report, error, check); }, wait);
  return result;
}

bool Store::CardReady() {
  if (details_.CardNumber.empty()) {
    prompts_.Message(kCardCaption, "Please complete your Credit Card details to make a purchase.",
                     PromptButtons::Ok, PromptIcon::Information);
    return false;
  }
  if (details_.Cvv.empty()) {
    // Never stored: asked once a run, when a purchase needs it.
    std::optional<std::string> cvv =
        prompts_.Input(kCardCaption, "The digits on the back of your card:", "", 3);
    if (!cvv || cvv->empty()) return false;
    details_.Cvv = *cvv;
  }
  return true;
}

bool Store::Connected(const char* caption, const char* text) {
  if (hooks_.Connected()) return true;
  prompts_.Message(caption, text, PromptButtons::Ok, PromptIcon::Warning);
  return false;
}

void Store::SavePacks() { SaveGiftPacks(dataFolder_, packs_); }

std::string Store::OutputFolder() const {
  std::string folder = settings_.DownloadFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string Store::TargetPath(const CatalogueSong& song) const {
  std::string stem =
      NamePiece(song.Artist) + " - " + NamePiece(song.Title) + " - " + NamePiece(song.Code);
  stem = CutUtf8(stem, 255 - 4);
  return OutputFolder() + stem + ".ZIP";
}

std::string Store::PurchasedFile(const CatalogueSong& song) const {
  return FindZipAnyCase(TargetPath(song));
}

bool Store::IsPurchased(const CatalogueSong& song) const { return !PurchasedFile(song).empty(); }

// --- Account and subscription ---

void Store::SignIn() {
  BusyScope busy(*this);
  if (busy.Refused()) return;
  const char* refusal = nullptr;
  if (details_.Email.size() < 5)
    refusal = "You must provide an email address in the Credit Card details to create a Streaming "
              "Account.";
  else if (details_.FirstName.size() < 2 || details_.LastName.size() < 2)
    refusal = "You must provide your name in the Credit Card details to create a Streaming Account.";
  else if (details_.CountryIndex == -1)
    refusal = "You must provide your Country Selection in the Credit Card details to create a "
              "Streaming Account.";
  if (refusal) {
    prompts_.Message(kSignInCaption, refusal, PromptButtons::Ok, PromptIcon::Information);
    return;
  }
  std::string answer;
  {
    ProgressWindow window(progress_, kPleaseWait, true);
    answer = Fetch(CreateAccountUrl(bases_, details_));
  }
  if (std::optional<std::string> code = ParseAccountCode(answer)) {
    account_ = *code;
    prompts_.Message("Sign in/Create Account", "Successfully Signed In", PromptButtons::Ok,
                     PromptIcon::Information);
  } else {
    qCWarning(lcStore, "no account in the service's answer \"%s\"", answer.c_str());
    prompts_.Message("Sign in/Create Account", "Could not create or retrieve account",
                     PromptButtons::Ok, PromptIcon::Warning);
  }
  status_.clear();
  CheckExpiryStep();
  LoadPricesStep();
}

void Store::CheckExpiry() {
  BusyScope busy(*this);
  if (!busy.Refused()) CheckExpiryStep();
}

void Store::LoadPackagePrices() {
  BusyScope busy(*this);
  if (!busy.Refused()) LoadPricesStep();
}

void Store::CheckExpiryStep() {
  if (!status_.empty()) return;
  std::string answer = Fetch(ExpiryUrl(bases_, account_));
  if (answer.size() < 2) answer = "Connection Failure";
  status_ = answer;
  prompts_.Message(answer, answer, PromptButtons::Ok, PromptIcon::Information);
}

void Store::LoadPricesStep() {
  const std::string answer = Fetch(PackagesUrl(bases_));
  if (std::optional<PackagePrices> prices = ParsePackagePrices(answer)) {
    dayLabel_ = prices->Day;
    monthLabel_ = prices->Month;
  } else {
    qCWarning(lcStore, "no package prices from the service (answer \"%s\")", answer.c_str());
  }
}

void Store::BuySubscriptionTime(int pack) {
  BusyScope busy(*this);
  if (busy.Refused()) return;
  if (!Connected("Add Streaming Time",
                 "You can NOT Purchase Streaming Time without being connected to the internet."))
    return;
  if (account_.empty()) {
    prompts_.Message("Add Streaming Time", "Create or Signin to your account first",
                     PromptButtons::Ok, PromptIcon::Information);
    return;
  }
  if (!CardReady()) return;
  std::string answer;
  {
    ProgressWindow window(progress_, kPleaseWait, true);
    answer = Fetch(BuyTimeUrl(bases_, details_, pack == 0 ? 0 : 1, account_));
  }
  if (answer.find(kSuccessMarker) != std::string::npos) {
    status_.clear();
    CheckExpiryStep();
  } else {
    prompts_.Message("Streaming Time Purchase Error", answer, PromptButtons::Ok, PromptIcon::Warning);
  }
}

// --- Gift packs ---

bool Store::BuyGiftPack(int type) {
  BusyScope busy(*this);
  if (busy.Refused() || !CardReady()) return false;
  std::string answer;
  {
    ProgressWindow window(progress_, kPleaseWait, true);
    answer = Fetch(BuyGiftPackUrl(bases_, details_, type));
  }
  const std::optional<GiftPackAnswer> pack = ParseGiftPackAnswer(answer);
  if (!pack) {
    prompts_.Message("Gift Pack Purchase Error", answer, PromptButtons::Ok, PromptIcon::Warning);
    return false;
  }
  packs_.push_back(GiftPack{pack->Code, pack->Amount});
  selectedPack_ = static_cast<int>(packs_.size()) - 1;
  SavePacks();
  return true;
}

bool Store::AddGiftPackCode(const std::string& typed) {
  if (busy_) return false;
  const std::string code = CutAtBlank(typed);
  if (code.empty()) {
    prompts_.Message("Gift Pack", "Please enter a Gift Pack Code.", PromptButtons::Ok,
                     PromptIcon::Information);
    return false;
  }
  packs_.push_back(GiftPack{code, kUnknownAmount});
  selectedPack_ = static_cast<int>(packs_.size()) - 1;
  SavePacks();
  return true;
}

void Store::RemoveSelectedGiftPack() {
  if (busy_ || selectedPack_ < 0) return;
  if (prompts_.Message("Remove Gift Pack", "Remove Gift Pack?", PromptButtons::YesNo,
                       PromptIcon::Question) != PromptAnswer::Yes)
    return;
  packs_.erase(packs_.begin() + selectedPack_);
  selectedPack_ = -1;
  SavePacks();
}

// --- Songs ---

void Store::DownloadAndAdd(const std::string& url, const std::string& target) {
  std::string error;
  const DownloadResult result = Download(url, target, DownloadKind::Song, &error, SongArchiveProblem);
  if (result == DownloadResult::Cancelled) return;  // deleted, nothing to say
  if (result != DownloadResult::Ran) {
    prompts_.Message("Song Purchase Error", "Download failed: " + error, PromptButtons::Ok,
                     PromptIcon::Warning);
    return;
  }
  if (!import_.ImportSingleFile(target))
    qCWarning(lcStore, "the bought song %s was not added to the library", target.c_str());
}

void Store::BuyOrClaimSong(const CatalogueSong* row) {
  BusyScope busy(*this);
  if (busy.Refused() || !row) return;
  if (!IsFolder(OutputFolder())) {
    prompts_.Message("Output Folder Invalid", "Please Change Your Output Folder, Folder is Invalid.",
                     PromptButtons::Ok, PromptIcon::Warning);
    return;
  }
  const std::string target = TargetPath(*row);
  if (const std::string onDisk = PurchasedFile(*row); !onDisk.empty()) {
    if (prompts_.Message("Song Available",
                         "The Song is on the computer, would you like to add it to the Database?",
                         PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes &&
        !import_.ImportSingleFile(onDisk))
      qCWarning(lcStore, "the song %s was not added to the library", onDisk.c_str());
    return;
  }

  if (selectedPack_ < 0) {
    if (!CardReady()) return;
    if (prompts_.Message("Purchase Song", "Complete Purchase of Song?", PromptButtons::YesNo,
                         PromptIcon::Question) != PromptAnswer::Yes)
      return;
    ProgressWindow window(progress_, "Purchasing and Saving Song to Computer...", true);
    const std::string answer = Fetch(BuySongUrl(bases_, details_, row->Code));
    if (std::optional<std::string> url = ParseDownloadUrl(answer)) {
      DownloadAndAdd(*url, target);
    } else if (!fetchAborted_) {
      // No answer, a time-out or an answer without its marker is as much a
      // failed purchase as an "Error:": the host must know it did not work.
      qCWarning(lcStore, "the purchase of %s got no download: \"%s\"", row->Code.c_str(),
                answer.c_str());
      prompts_.Message("Song Purchase Error", answer.size() < 2 ? "Connection Failure" : answer,
                       PromptButtons::Ok, PromptIcon::Warning);
    }
    return;
  }

  if (details_.Email.empty()) {
    prompts_.Message("Email Details",
                     "Please complete your Credit Card details to provide an email address.",
                     PromptButtons::Ok, PromptIcon::Information);
    return;
  }
  if (prompts_.Message("Claim Song", "Claim Song with Gift Pack?", PromptButtons::YesNo,
                       PromptIcon::Question) != PromptAnswer::Yes)
    return;
  // The list cannot change while the store is busy; the index stays valid.
  const size_t packIndex = static_cast<size_t>(selectedPack_);
  ProgressWindow window(progress_, "Purchasing and Saving Song to Computer...", true);
  const std::string answer = Fetch(ClaimSongUrl(bases_, details_, row->Code, packs_[packIndex].Code));
  GiftPack& pack = packs_[packIndex];
  if (std::optional<ClaimAnswer> claim = ParseClaimAnswer(answer)) {
    pack.Amount = claim->Remaining;
    SavePacks();
    DownloadAndAdd(claim->Url, target);
  } else if (answer.find("GIFTPACK") != std::string::npos) {
    pack.Amount = 0;
    SavePacks();
    prompts_.Message("Empty Gift Pack", "This Gift Pack is Empty", PromptButtons::Ok,
                     PromptIcon::Information);
  } else {
    prompts_.Message("Gift Pack Claim Error", answer, PromptButtons::Ok, PromptIcon::Warning);
  }
}

std::optional<std::string> Store::AddStream(const CatalogueSong* row) {
  BusyScope busy(*this);
  if (busy.Refused()) return std::nullopt;
  if (!row) {
    prompts_.Message("Add Stream", "Select a song first.", PromptButtons::Ok,
                     PromptIcon::Information);
    return std::nullopt;
  }
  if (!row->Streaming) {
    prompts_.Message("Add Stream", "This is not a Streaming item, select a Yellow item for streaming",
                     PromptButtons::Ok, PromptIcon::Information);
    return std::nullopt;
  }
  if (!Connected("Add Stream", "You can NOT Stream without being connected to the internet."))
    return std::nullopt;
  if (account_.empty()) {
    prompts_.Message("Add Stream", "Create or Signin to your account first", PromptButtons::Ok,
                     PromptIcon::Information);
    return std::nullopt;
  }
  CheckExpiryStep();
  LoadPricesStep();
  return StreamingSongPath(account_, row->Code);
}

std::optional<std::string> Store::PreviewAddress(const CatalogueSong* row) {
  if (!row) {
    prompts_.Message("Preview Song", "Select a song to preview first.", PromptButtons::Ok,
                     PromptIcon::Information);
    return std::nullopt;
  }
  return PreviewUrl(bases_, row->Code);
}

// --- Catalogue and pages ---

void Store::UpdateListings() {
  BusyScope busy(*this);
  if (busy.Refused()) return;
  if (!Connected("update Listings", "You can not update unless you are connected to the internet."))
    return;
  if (prompts_.Message(kUpdateCaption, "Are you ready to update listings?", PromptButtons::OkCancel,
                       PromptIcon::Question) != PromptAnswer::Ok)
    return;
  const std::string fresh = dataFolder_ + "songdb.download";
  DownloadResult result;
  std::string error;
  {
    ProgressWindow window(progress_, kUpdateCaption, true);
    result = Download(CatalogueUrl(bases_), fresh, DownloadKind::Catalogue, &error);
  }
  if (result == DownloadResult::Cancelled) return;
  if (result == DownloadResult::Ran) {
    // Only a file that reads as a catalogue replaces the old one; the
    // check reads its schema on a worker, so the window goes on meanwhile.
    std::string problem;
    std::atomic<bool> stop{false};
    WorkerWait wait;
    wait.Cancel = [&] { stop = true; };
    RunOnWorker([&] { problem = CatalogueFileProblem(fresh, &stop); }, wait);
    if (!problem.empty()) {
      result = DownloadResult::Failed;
      error = problem;
    }
  }
  if (result != DownloadResult::Ran) {
    ::unlink(fresh.c_str());
    prompts_.Message(kUpdateCaption, "Download failed: " + error, PromptButtons::Ok,
                     PromptIcon::Warning);
    return;
  }
  database_.CloseCatalogue();
  if (std::rename(fresh.c_str(), database_.CataloguePath().c_str()) != 0) {
    qCWarning(lcStore, "the new catalogue %s cannot replace %s", fresh.c_str(),
              database_.CataloguePath().c_str());
    ::unlink(fresh.c_str());
  } else {
    SyncFolderOf(database_.CataloguePath());
  }
  database_.OpenCatalogue();
  if (hooks_.CatalogueReplaced) hooks_.CatalogueReplaced();
}

void Store::MyDownloads() {
  if (details_.Email.empty()) {
    prompts_.Message("My Downloads Summary",
                     "You must provide an email address in the Credit Card details to review your "
                     "My Downloads summary.",
                     PromptButtons::Ok, PromptIcon::Information);
    return;
  }
  if (hooks_.OpenPage) hooks_.OpenPage(SummaryPageUrl(bases_, details_.Email));
}

void Store::PrivacyPolicy() {
  if (hooks_.OpenPage) hooks_.OpenPage(PrivacyPageUrl(bases_));
}

}  // namespace lyricade
