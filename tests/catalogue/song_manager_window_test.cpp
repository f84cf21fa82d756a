// The "Song Manager" window against the local vendor service: opening fills
// the gift packs and the list; its buttons reach the store's operations.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTreeView>

#include <fstream>

#include "catalogue/ui/song_manager.h"
#include "catalogue/ui/song_manager_window.h"
#include "catalogue_fixture.h"
#include "common/app_settings.h"
#include "library/library_database.h"
#include "library/library_import.h"
#include "platform/media/media_graph.h"
#include "platform/prompts/scripted_prompts.h"
#include "playback/zip_test_support.h"
#include "store/gift_packs.h"
#include "store/vendor_service.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

using testing::VendorService;
using testing::FakeCdg;
using testing::FakeMp3;
using testing::WriteZip;

class SongManagerWindowTest : public ::testing::Test {
protected:
  SongManagerWindowTest() : database_(prompts_), import_(database_) {}

  void SetUp() override {
    InitialiseMedia();
    ASSERT_TRUE(catalogue_.Make());
    // The program's settings live in the scratch folder; the streaming
    // labels are configured there.
    setenv("XDG_CONFIG_HOME", catalogue_.folder.File("config").c_str(), 1);
    QSettings("Quillon", "Lyricade")
        .setValue("Options/StreamingLabels", QStringList{"Quillon Stream", "Karaoke Live"});
    const std::string service = catalogue_.folder.File("service/");
    std::filesystem::create_directories(service);
    ASSERT_TRUE(WriteZip(service + "song.zip", {{"song.mp3", FakeMp3(4)}, {"song.cdg", FakeCdg(8)}}));
    ASSERT_TRUE(testing::MakeMp3(service + "preview.mp3", 3));
    service_ = std::make_unique<VendorService>(
        service, testing::VendorFiles{service + "song.zip", "", service + "preview.mp3", ""});
    ASSERT_TRUE(service_->Ready());
    ASSERT_TRUE(SaveGiftPacks(catalogue_.data, {{"GP-1", 3}, {"GP-2", kUnknownAmount}}));
    database_.SetDataFolder(catalogue_.data);
    ASSERT_TRUE(database_.OpenLibrary());
    ASSERT_TRUE(database_.OpenCatalogue());
    settings_.DownloadFolder = catalogue_.output;

    SongManagerServices services;
    services.settings = &settings_;
    services.prompts = &prompts_;
    services.database = &database_;
    services.import = &import_;
    services.bases = ServiceBases{service_->HttpBase(), service_->HttpsBase()};
    services.hooks.Connected = [] { return true; };
    services.hooks.OpenPage = [this](const std::string& url) { pages_.push_back(url); };
    services.queueStream = [this](const CatalogueSong& song, const std::string& path, long) {
      queued_.push_back(song.Title + "|" + path);
    };
    services.settingsChanged = [this] { ++settingsChanges_; };
    manager_ = std::make_unique<SongManager>(std::move(services));
    manager_->Http().SetExtraCaFile(service_->CaFile());
    manager_->Http().SetTimeouts({3, 3});
    window_ = manager_->Open();
    Settle();
  }

  void TearDown() override {
    manager_.reset();
    database_.Close();
  }

  void Settle() {
    manager_->WaitForLoads();
    QCoreApplication::processEvents();
  }

  // Selects the list row whose title is `title`.
  void Select(const std::string& title) {
    CatalogueListModel& model = manager_->Model();
    for (long r = 0; r < model.RowCount(); ++r)
      if (model.CellText(r, CatalogueListModel::Title) == title) {
        window_->List()->setCurrentIndex(model.index(static_cast<int>(r), 0));
        return;
      }
    ADD_FAILURE() << "no row " << title;
  }

  void Click(const char* command) {
    QPushButton* button = window_->Command(command);
    ASSERT_NE(button, nullptr) << command;
    button->click();
  }

  std::string LastBox() {
    if (prompts_.Shown().empty()) return "no box";
    const ShownPrompt shown = prompts_.Shown().back();
    prompts_.ClearShown();
    return shown.Caption + "|" + shown.Text;
  }

  void FillCard() {
    CustomerDetails d;
    d.CardNumber = "4111";
    d.Cvv = "123";
    d.FirstName = "Mary";
    d.LastName = "Smith";
    d.Email = "mary@example.com";
    d.CountryIndex = 213;
    manager_->GetStore().SetDetails(d);
  }

  testing::CatalogueFolder catalogue_;
  std::unique_ptr<VendorService> service_;
  ScriptedPrompts prompts_;
  AppSettings settings_;
  LibraryDatabase database_;
  LibraryImport import_;
  std::unique_ptr<SongManager> manager_;
  SongManagerWindow* window_ = nullptr;
  std::vector<std::string> pages_;
  std::vector<std::string> queued_;
  int settingsChanges_ = 0;
};

TEST_F(SongManagerWindowTest, OpeningFillsTheGiftPacksTheFolderAndTheList) {
  EXPECT_EQ(window_->windowTitle(), "Song Manager");
  EXPECT_EQ(window_->StatusLabel()->text(), "Showing: 4");
  EXPECT_EQ(manager_->Model().StreamingLabels(),
            (std::vector<std::string>{"Quillon Stream", "Karaoke Live"}));
  EXPECT_EQ(window_->OutputFolderLabel()->text().toStdString(), catalogue_.output);
  QComboBox* packs = window_->GiftPackBox();
  ASSERT_EQ(packs->count(), 3);
  EXPECT_EQ(packs->itemText(0), "<No Gift Pack>");
  EXPECT_EQ(window_->AmountLabel()->text(), "");
  packs->setCurrentIndex(1);
  EXPECT_EQ(window_->AmountLabel()->text(), "Amount: 3");
  packs->setCurrentIndex(2);
  EXPECT_EQ(window_->AmountLabel()->text(), "Amount: Unknown");

  prompts_.QueueAnswer(PromptAnswer::Yes);
  Click("Remove Gift Pack...");
  EXPECT_EQ(LastBox(), "Remove Gift Pack|Remove Gift Pack?");
  ASSERT_EQ(packs->count(), 2);
  EXPECT_EQ(packs->itemText(1), "GP-1");
  EXPECT_EQ(LoadGiftPacks(catalogue_.data).size(), 1u);

  // "Show Only Streams" asks for the configured labels exactly: "Quillon
  // Stream Gold" is not among them.
  window_->StreamsOnlyBox()->setChecked(true);
  window_->ShowAllButton()->click();
  Settle();
  EXPECT_EQ(window_->StatusLabel()->text(), "Showing: 1");

  prompts_.QueueFolder(catalogue_.folder.File("elsewhere"));
  Click("Change Output Folder...");
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0].Caption, "Browse For Output Folder");
  EXPECT_EQ(settings_.DownloadFolder, catalogue_.folder.File("elsewhere/"));
  EXPECT_EQ(window_->OutputFolderLabel()->text().toStdString(), settings_.DownloadFolder);
  EXPECT_EQ(settingsChanges_, 2);  // the streams choice, then the folder

  // The streams choice is kept and applied when the window opens again.
  EXPECT_TRUE(settings_.ShowOnlyStreams);
  window_->hide();
  window_->StreamsOnlyBox()->blockSignals(true);
  window_->StreamsOnlyBox()->setChecked(false);
  window_->StreamsOnlyBox()->blockSignals(false);
  window_->Open();
  Settle();
  EXPECT_TRUE(window_->StreamsOnlyBox()->isChecked());
  EXPECT_EQ(window_->StatusLabel()->text(), "Showing: 1");
}

TEST_F(SongManagerWindowTest, ButtonsReachTheStoreAndTheService) {
  FillCard();
  Select("Halo");
  prompts_.QueueAnswer(PromptAnswer::Yes);
  Click("Buy/Claim Song...");
  EXPECT_EQ(LastBox(), "Purchase Song|Complete Purchase of Song?");
  ASSERT_EQ(service_->RequestsFor("purchasexmlccSM.asp").size(), 1u);
  EXPECT_NE(service_->RequestsFor("purchasexmlccSM.asp")[0].find("SONG_CODE=QD-2"),
            std::string::npos);
  // The bought song is on the computer: the row says so at once, and a
  // double click offers to add it to the library instead of buying again.
  Select("Halo");
  const QModelIndex halo = window_->List()->currentIndex();
  EXPECT_EQ(manager_->Model().CellText(halo.row(), CatalogueListModel::Purchased), "Purchased");
  prompts_.QueueAnswer(PromptAnswer::No);
  emit window_->List()->doubleClicked(halo);
  EXPECT_EQ(LastBox(),
            "Song Available|The Song is on the computer, would you like to add it to the Database?");
  EXPECT_EQ(service_->RequestsFor("purchasexmlccSM.asp").size(), 1u);

  Click("Sign in/Create...");
  EXPECT_EQ(manager_->GetStore().AccountCode(), "ACC-1001");
  prompts_.ClearShown();
  Select("Halo");
  Click("Add Stream...");
  EXPECT_EQ(LastBox(),
            "Add Stream|This is not a Streaming item, select a Yellow item for streaming");
  Select("Don't Stop");
  Click("Add Stream...");
  ASSERT_EQ(queued_.size(), 1u);
  EXPECT_EQ(queued_[0], "Don't Stop|http://AccountID=ACC-1001&SongID=QS-1");

  window_->List()->clearSelection();
  Click("Preview Song...");
  EXPECT_EQ(LastBox(), "Preview Song|Select a song to preview first.");
  Select("Love Me Do");
  Click("Preview Song...");
  // The preview opens on the graph's threads: the button changes at once.
  EXPECT_TRUE(window_->Preview().Playing());
  QElapsedTimer waited;
  waited.start();
  while (service_->RequestsFor("downloadpreviewMP3.aspx?SongCode=QS-4").empty() && waited.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(service_->RequestsFor("downloadpreviewMP3.aspx?SongCode=QS-4").size(), 1u);
  EXPECT_FALSE(window_->Command("Preview Song...")->isEnabled());
  ASSERT_TRUE(window_->StopPreviewButton()->isEnabled());
  window_->StopPreviewButton()->click();
  EXPECT_FALSE(window_->Preview().Playing());
  EXPECT_TRUE(window_->Command("Preview Song...")->isEnabled());

  Click("Privacy Policy...");
  Click("My Downloads...");
  ASSERT_EQ(pages_.size(), 2u);
  EXPECT_NE(pages_[1].find("EMAIL=mary@example.com"), std::string::npos);
}

}  // namespace
}  // namespace lyricade
