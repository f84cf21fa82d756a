#include "catalogue/ui/song_manager_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "catalogue/catalogue_list_controller.h"
#include "catalogue/catalogue_list_model.h"
#include "catalogue/catalogue_log.h"
#include "catalogue/ui/add_gift_pack_dialog.h"
#include "common/app_settings.h"
#include "platform/prompts/prompts.h"
#include "store/ui/credit_card_dialog.h"

namespace lyricade {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

SongManagerWindow::SongManagerWindow(SongManagerParts parts, QWidget* parent)
    : QWidget(parent, Qt::Window), parts_(std::move(parts)) {
  setWindowTitle(kCaption);
  resize(1100, 700);
  auto* layout = new QVBoxLayout(this);

  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(new QLabel("Search:", this));
  searchBox_ = new QLineEdit(this);
  searchRow->addWidget(searchBox_, 1);
  search_ = new QPushButton("Search", this);
  showAll_ = new QPushButton("Show All", this);
  streamsOnly_ = new QCheckBox("Show Only Streams", this);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  status_->setText(parts_.controller->StatusText());
  searchRow->addWidget(search_);
  searchRow->addWidget(showAll_);
  searchRow->addWidget(streamsOnly_);
  searchRow->addWidget(status_);
  layout->addLayout(searchRow);

  list_ = new QTreeView(this);
  list_->setModel(parts_.model);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setSectionsClickable(true);
  list_->header()->setStretchLastSection(false);
  for (int c = 0; c < CatalogueListModel::kColumnCount; ++c) {
    list_->setColumnWidth(c, CatalogueListModel::kDefaultWidths[c]);
    if (CatalogueListModel::kDefaultWidths[c] == 0) list_->setColumnHidden(c, true);
  }
  layout->addWidget(list_, 1);

  auto* commands = new QGridLayout;
  int position = 0;
  for (const char* text : kCommands) {
    QPushButton* button = AddCommand(text);
    commands->addWidget(button, position / 7, position % 7);
    ++position;
  }
  stopPreview_ = new QPushButton("Stop Preview", this);
  stopPreview_->setEnabled(false);
  commands->addWidget(stopPreview_, position / 7, position % 7);
  layout->addLayout(commands);

  auto* details = new QGridLayout;
  details->addWidget(new QLabel("Account Code:", this), 0, 0);
  // The vendor's answers and the host's folder are shown as they are.
  account_ = new QLabel(this);
  account_->setTextFormat(Qt::PlainText);
  details->addWidget(account_, 0, 1);
  details->addWidget(new QLabel("Streaming Account:", this), 0, 2);
  subscription_ = new QLabel(this);
  subscription_->setTextFormat(Qt::PlainText);
  details->addWidget(subscription_, 0, 3);
  details->addWidget(new QLabel("Gift Pack:", this), 1, 0);
  giftPacks_ = new QComboBox(this);
  details->addWidget(giftPacks_, 1, 1);
  amount_ = new QLabel(this);
  amount_->setTextFormat(Qt::PlainText);
  details->addWidget(amount_, 1, 2);
  details->addWidget(new QLabel("Output Folder:", this), 2, 0);
  outputFolder_ = new QLabel(this);
  outputFolder_->setTextFormat(Qt::PlainText);
  details->addWidget(outputFolder_, 2, 1, 1, 3);
  details->setColumnStretch(4, 1);
  layout->addLayout(details);

  CatalogueListController* controller = parts_.controller;
  connect(search_, &QPushButton::clicked, this,
          [this, controller] { controller->Search(searchBox_->text().toStdString()); });
  connect(searchBox_, &QLineEdit::returnPressed, search_, &QPushButton::click);
  connect(showAll_, &QPushButton::clicked, controller, &CatalogueListController::ShowAll);
  // The choice is a preference: kept when it changes, applied at the next open.
  connect(streamsOnly_, &QCheckBox::toggled, this, [this, controller](bool on) {
    controller->SetStreamsOnly(on);
    if (parts_.settings->ShowOnlyStreams == on) return;
    parts_.settings->ShowOnlyStreams = on;
    if (parts_.settingsChanged) parts_.settingsChanged();
  });
  connect(list_->header(), &QHeaderView::sectionClicked, controller,
          &CatalogueListController::HeaderClicked);
  connect(controller, &CatalogueListController::statusChanged, status_, &QLabel::setText);
  connect(controller, &CatalogueListController::buttonsEnabledChanged, this,
          &SongManagerWindow::SetListButtonsEnabled);
  connect(list_, &QTreeView::doubleClicked, this, [this] { BuyOrClaim(); });
  connect(giftPacks_, &QComboBox::currentIndexChanged, this, &SongManagerWindow::GiftPackChosen);

  Store& store = *parts_.store;
  connect(Command("Buy/Claim Song..."), &QPushButton::clicked, this, [this] { BuyOrClaim(); });
  connect(Command("Add Stream..."), &QPushButton::clicked, this, [this] { AddStream(); });
  connect(Command("Preview Song..."), &QPushButton::clicked, this, [this] { StartPreview(); });
  connect(stopPreview_, &QPushButton::clicked, this, [this] { StopPreview(); });
  connect(&preview_, &CataloguePreview::stopped, this, [this] {
    Command("Preview Song...")->setEnabled(!parts_.store->Busy());
    stopPreview_->setEnabled(false);
  });
  connect(Command("Sign in/Create..."), &QPushButton::clicked, this, [this, &store] {
    store.SignIn();
    RefreshAccount();
  });
  connect(Command("1 Day"), &QPushButton::clicked, this, [this, &store] {
    store.BuySubscriptionTime(0);
    RefreshAccount();
  });
  connect(Command("1 Month"), &QPushButton::clicked, this, [this, &store] {
    store.BuySubscriptionTime(1);
    RefreshAccount();
  });
  connect(Command("Add Gift Pack..."), &QPushButton::clicked, this, [this] { AddGiftPack(); });
  connect(Command("Remove Gift Pack..."), &QPushButton::clicked, this, [this] { RemoveGiftPack(); });
  connect(Command("My Downloads..."), &QPushButton::clicked, this, [&store] { store.MyDownloads(); });
  connect(Command("Credit Card Details..."), &QPushButton::clicked, this, [this] { EditDetails(); });
  connect(Command("Update Listings..."), &QPushButton::clicked, this,
          [&store] { store.UpdateListings(); });
  connect(Command("Privacy Policy..."), &QPushButton::clicked, this,
          [&store] { store.PrivacyPolicy(); });
  connect(Command("Change Output Folder..."), &QPushButton::clicked, this,
          [this] { ChangeOutputFolder(); });
}

QPushButton* SongManagerWindow::AddCommand(const char* text) {
  auto* button = new QPushButton(text, this);
  commands_[QString::fromLatin1(text)] = button;
  return button;
}

QPushButton* SongManagerWindow::Command(const QString& text) const {
  const auto it = commands_.find(text);
  return it == commands_.end() ? nullptr : it->second;
}

void SongManagerWindow::Open() {
  parts_.store->LoadLists();
  FillGiftPacks();
  RefreshAccount();
  outputFolder_->setText(Q(parts_.settings->DownloadFolder));
  streamsOnly_->setChecked(parts_.settings->ShowOnlyStreams);
  parts_.controller->SetStreamsOnly(parts_.settings->ShowOnlyStreams);
  parts_.controller->Reload();
  show();
  raise();
  activateWindow();
}

long SongManagerWindow::SelectedRow() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

std::optional<CatalogueSong> SongManagerWindow::SelectedSong() const {
  const long row = SelectedRow();
  if (row < 0) return std::nullopt;
  return parts_.model->Song(row);
}

void SongManagerWindow::BuyOrClaim() {
  const std::optional<CatalogueSong> song = SelectedSong();
  parts_.store->BuyOrClaimSong(song ? &*song : nullptr);
  // A bought song (or the pack's new amount) shows at once.
  parts_.model->RefreshPurchased();
  FillGiftPacks();
}

void SongManagerWindow::AddStream() {
  const std::optional<CatalogueSong> song = SelectedSong();
  const std::optional<std::string> path = parts_.store->AddStream(song ? &*song : nullptr);
  RefreshAccount();
  if (path && song && parts_.queueStream) parts_.queueStream(*song, *path, SelectedRow());
}

void SongManagerWindow::StartPreview() {
  const std::optional<CatalogueSong> song = SelectedSong();
  const std::optional<std::string> url = parts_.store->PreviewAddress(song ? &*song : nullptr);
  if (!url) return;
  if (!preview_.Start(*url, parts_.settings->BreakMusicVolume.load())) return;
  Command("Preview Song...")->setEnabled(false);
  stopPreview_->setEnabled(true);
}

void SongManagerWindow::StopPreview() { preview_.Stop(); }

void SongManagerWindow::AddGiftPack() {
  AddGiftPackDialog dialog(*parts_.store, this);
  dialog.exec();
  FillGiftPacks();
}

void SongManagerWindow::RemoveGiftPack() {
  parts_.store->RemoveSelectedGiftPack();
  FillGiftPacks();
}

void SongManagerWindow::EditDetails() {
  CreditCardDialog dialog(parts_.store->Details(), this);
  if (dialog.exec() == QDialog::Accepted) parts_.store->SetDetails(dialog.Result());
}

void SongManagerWindow::ChangeOutputFolder() {
  const std::optional<std::string> folder =
      parts_.prompts->ChooseFolder("Browse For Output Folder", parts_.settings->DownloadFolder);
  if (!folder || folder->empty()) return;
  std::string chosen = *folder;
  if (chosen.back() != '/') chosen += '/';
  parts_.settings->DownloadFolder = chosen;
  outputFolder_->setText(Q(chosen));
  parts_.model->RefreshPurchased();
  if (parts_.settingsChanged) parts_.settingsChanged();
}

void SongManagerWindow::FillGiftPacks() {
  fillingPacks_ = true;
  giftPacks_->clear();
  giftPacks_->addItem(kNoGiftPack);
  for (const GiftPack& pack : parts_.store->GiftPacks()) giftPacks_->addItem(Q(pack.Code));
  giftPacks_->setCurrentIndex(parts_.store->SelectedGiftPack() + 1);
  fillingPacks_ = false;
  amount_->setText(Q(parts_.store->SelectedAmountText()));
}

void SongManagerWindow::GiftPackChosen(int index) {
  if (fillingPacks_) return;
  parts_.store->SelectGiftPack(index - 1);
  amount_->setText(Q(parts_.store->SelectedAmountText()));
}

void SongManagerWindow::RefreshAccount() {
  account_->setText(Q(parts_.store->AccountText()));
  subscription_->setText(Q(parts_.store->StatusText()));
  Command("1 Day")->setText(Q(parts_.store->DayLabel()));
  Command("1 Month")->setText(Q(parts_.store->MonthLabel()));
}

void SongManagerWindow::SetStoreBusy(bool busy) {
  for (auto& [text, button] : commands_)
    button->setEnabled(!busy && !(button == Command("Preview Song...") && preview_.Playing()));
  giftPacks_->setEnabled(!busy);
}

void SongManagerWindow::SetListButtonsEnabled(bool enabled) {
  search_->setEnabled(enabled);
  showAll_->setEnabled(enabled);
}

void SongManagerWindow::closeEvent(QCloseEvent* event) {
  // The window stays for the run; a preview stops with it.
  preview_.Stop();
  QWidget::closeEvent(event);
}

}  // namespace lyricade
