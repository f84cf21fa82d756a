#include "app/ui/options_window.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/app_settings.h"
#include "leveling/level_rules.h"
#include "library/song_versions.h"
#include "remote/server_settings.h"

namespace lyricade {
namespace {

constexpr const char* kAddCustom = "Add Custom...";
const char* const kLoops[] = {"One Time + Fade", "Two Times + Fade", "Three Times + Fade",
                              "Four Times + Fade", "Five Times + Fade"};

}  // namespace

OptionsWindow::OptionsWindow(AppSettings& settings, OptionsHooks hooks, QWidget* parent)
    : QDialog(parent), settings_(settings), hooks_(std::move(hooks)) {
  setWindowTitle(kCaption);
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  auto* show = new QGroupBox("Show", this);
  auto* showLayout = new QVBoxLayout(show);
  QCheckBox* proceed = AddCheck("Proceed to Next Singer", settings.ProceedToNextSinger);
  QCheckBox* announce = AddCheck("Auto Announce Singer", settings.AutoAnnounceSinger);
  QCheckBox* removeEmpty = AddCheck("Remove Empty Singers", settings.RemoveEmptySingers);
  QCheckBox* keepPlaying = AddCheck("Keep Playing (Non-stop)", settings.KeepPlayingNonStop);
  QCheckBox* nextStart = AddCheck("Next Start Timer", settings.NextStartTimer);
  QCheckBox* playOnRequest = AddCheck("Play on Request", settings.PlayOnRequest);
  for (QCheckBox* box : {proceed, announce, removeEmpty, keepPlaying, nextStart, playOnRequest})
    showLayout->addWidget(box);
  // Kept in the program's settings, not the preferences file; read at the
  // next start.
  startRequestServer_ = new QCheckBox("Start the request server with Lyricade", show);
  showLayout->addWidget(startRequestServer_);
  connect(startRequestServer_, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) StoreStartWithProgram(on);
  });
  requestCodeOnScreen_ = new QCheckBox("Show the request page's code on the singers' screen", show);
  showLayout->addWidget(requestCodeOnScreen_);
  connect(requestCodeOnScreen_, &QCheckBox::toggled, this, [this](bool on) {
    if (loading_) return;
    StoreRequestCodeOnScreen(on);
    if (hooks_.requestCodeChanged) hooks_.requestCodeChanged();
  });

  auto* sound = new QGroupBox("Sound and picture", this);
  auto* soundLayout = new QVBoxLayout(sound);
  QCheckBox* autoGain = AddCheck("Auto Gain Control", settings.AutoGainControl);
  QCheckBox* ambients = AddCheck("Auto Manage Ambients", settings.AutoManageAmbients);
  QCheckBox* random = AddCheck("Random Increment", settings.RandomIncrement);
  QCheckBox* smooth = AddCheck("Smooth Output Lyrics", settings.SmoothOutputLyrics);
  for (QCheckBox* box : {autoGain, ambients, random, smooth}) soundLayout->addWidget(box);
  // Leveling: a fixed gain per song toward the target loudness, which
  // replaces the buffer-by-buffer auto gain while it is on; and the early
  // end of a song whose last line is over.
  QCheckBox* level = AddCheck("Level Songs", settings.LevelSongs);
  levelTarget_ = new QSpinBox(sound);
  levelTarget_->setRange(kLevelTargetMin, kLevelTargetMax);
  levelTarget_->setSuffix(" LUFS");
  QCheckBox* endEarly = AddCheck("End Songs After the Last Line", settings.EndAfterLastLine);
  endMargin_ = new QSpinBox(sound);
  endMargin_->setRange(kEndMarginMin, kEndMarginMax);
  endMargin_->setSuffix(" s");
  auto* levelForm = new QFormLayout;
  levelForm->addRow(level, levelTarget_);
  levelForm->addRow(endEarly, endMargin_);
  soundLayout->addLayout(levelForm);
  connect(level, &QCheckBox::toggled, this, [autoGain](bool on) { autoGain->setEnabled(!on); });
  connect(levelTarget_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!loading_) settings_.LevelTargetLufs = value;
  });
  connect(endMargin_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!loading_) settings_.EndMarginSeconds = value;
  });

  auto* ticker = new QGroupBox("Next singers ticker", this);
  auto* tickerLayout = new QFormLayout(ticker);
  QCheckBox* autoTicker = AddCheck("Auto Next Singer Ticker", settings.AutoNextSingerTicker);
  QCheckBox* emptyInTicker = AddCheck("Empty Singers in Ticker", settings.EmptySingersInTicker);
  QCheckBox* smaller = AddCheck("Smaller", settings.TickerSmaller);
  QCheckBox* topScroll = AddCheck("Top Scroll", settings.TickerTopScroll);
  QCheckBox* faster = AddCheck("Faster", settings.TickerFaster);
  tickerLoops_ = new QComboBox(ticker);
  for (const char* loops : kLoops) tickerLoops_->addItem(loops);
  timerInterval_ = new QComboBox(ticker);
  for (int seconds = 5; seconds <= 45; ++seconds)
    timerInterval_->addItem(QString("%1 secs").arg(seconds));
  singerCount_ = new QComboBox(ticker);
  for (int singers = 3; singers <= 15; ++singers)
    singerCount_->addItem(QString("%1 Singers").arg(singers));
  tickerLayout->addRow(autoTicker);
  tickerLayout->addRow(emptyInTicker);
  auto* looks = new QHBoxLayout;
  for (QCheckBox* box : {smaller, topScroll, faster}) looks->addWidget(box);
  tickerLayout->addRow(looks);
  tickerLayout->addRow("Ticker Scrolls Around:", tickerLoops_);
  tickerLayout->addRow("Timer Interval:", timerInterval_);
  tickerLayout->addRow("Singers in Ticker:", singerCount_);

  auto* background = new QGroupBox("Background", this);
  auto* backgroundLayout = new QHBoxLayout(background);
  backgroundLogo_ = new QComboBox(background);
  removeLogo_ = new QPushButton("Remove...", background);
  removeLogo_->setToolTip("Remove the chosen custom logo");
  backgroundLayout->addWidget(new QLabel("Background Logo Selection:", background));
  backgroundLayout->addWidget(backgroundLogo_, 1);
  backgroundLayout->addWidget(removeLogo_);

  // Versions of one song: the makers ranked, and whether the library list
  // shows each song once.
  auto* versions = new QGroupBox("Song versions", this);
  auto* versionsLayout = new QFormLayout(versions);
  preferredMakers_ = new QLineEdit(versions);
  preferredMakers_->setMaxLength(400);
  preferredMakers_->setPlaceholderText("SC, SF, ZM");
  preferredMakers_->setToolTip("The makers (the ID's leading letters) whose version comes first, best first");
  versionsLayout->addRow("Preferred Makers:", preferredMakers_);
  QCheckBox* group = AddCheck("Group Versions", settings.GroupVersions);
  versionsLayout->addRow(group);
  connect(preferredMakers_, &QLineEdit::editingFinished, this, [this] {
    if (loading_) return;
    const std::string makers = MakerPreference::Parse(preferredMakers_->text().toStdString()).Text();
    preferredMakers_->setText(QString::fromStdString(makers));
    if (makers == settings_.PreferredMakers) return;
    settings_.PreferredMakers = makers;
    if (hooks_.versionsChanged) hooks_.versionsChanged();
  });
  connect(group, &QCheckBox::toggled, this, [this] {
    if (!loading_ && hooks_.versionsChanged) hooks_.versionsChanged();
  });

  auto* columns = new QHBoxLayout;
  auto* leftColumn = new QVBoxLayout;
  leftColumn->addWidget(show);
  leftColumn->addWidget(sound);
  leftColumn->addWidget(versions);
  columns->addLayout(leftColumn);
  columns->addWidget(ticker);
  layout->addLayout(columns);
  layout->addWidget(background);

  auto* buttons = new QHBoxLayout;
  QPushButton* customise = new QPushButton("Customize Announce Singer...", this);
  customise->setEnabled(static_cast<bool>(hooks_.customizeAnnounce));
  connect(customise, &QPushButton::clicked, this, [this] {
    if (hooks_.customizeAnnounce) hooks_.customizeAnnounce(this);
  });
  QPushButton* close = new QPushButton("Close", this);
  buttons->addWidget(customise);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::close);

  // The four controls "Keep Playing (Non-stop)" makes pointless.
  connect(keepPlaying, &QCheckBox::toggled, this, &OptionsWindow::KeepPlayingChanged);
  connect(ambients, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_ && on && hooks_.ambientsSwitchedOn) hooks_.ambientsSwitchedOn();
  });
  connect(tickerLoops_, &QComboBox::currentIndexChanged, this, [this](int entry) {
    if (!loading_ && entry >= 0) settings_.TickerLoops = entry + 1;
  });
  connect(timerInterval_, &QComboBox::currentIndexChanged, this, [this](int entry) {
    if (!loading_ && entry >= 0) settings_.CountdownSeconds = entry + 5;
  });
  connect(singerCount_, &QComboBox::currentIndexChanged, this, [this](int entry) {
    if (!loading_ && entry >= 0) settings_.TickerSingersMinus3 = entry;
  });
  connect(backgroundLogo_, &QComboBox::activated, this, [this](int entry) {
    if (backgroundLogo_->itemText(entry) == kAddCustom) {
      const std::string added = hooks_.addCustomLogo ? hooks_.addCustomLogo() : std::string();
      FillBackgroundLogos();
      if (added.empty()) backgroundLogo_->setCurrentIndex(settings_.BackgroundChoice.load());
      return;
    }
    // A custom logo is loaded; one that does not load leaves the choice.
    if (entry >= 2 && hooks_.chooseCustomLogo) {
      if (!hooks_.chooseCustomLogo(entry))
        backgroundLogo_->setCurrentIndex(settings_.BackgroundChoice.load());
      return;
    }
    settings_.BackgroundChoice = entry;
  });
  connect(removeLogo_, &QPushButton::clicked, this, [this] {
    if (hooks_.removeCustomLogo && hooks_.removeCustomLogo(backgroundLogo_->currentIndex()))
      FillBackgroundLogos();
  });
  Reload();
}

QCheckBox* OptionsWindow::AddCheck(const QString& caption, std::atomic<bool>& setting) {
  auto* box = new QCheckBox(caption, this);
  checks_.emplace_back(box, &setting);
  connect(box, &QCheckBox::toggled, this, [this, &setting](bool on) {
    if (!loading_) setting = on;
  });
  return box;
}

QCheckBox* OptionsWindow::Check(const QString& caption) const {
  for (const auto& [box, setting] : checks_)
    if (box->text() == caption) return box;
  return nullptr;
}

void OptionsWindow::FillBackgroundLogos() {
  const bool wasLoading = loading_;
  loading_ = true;
  backgroundLogo_->clear();
  backgroundLogo_->addItem("Lyricade");
  backgroundLogo_->addItem("Blank");
  if (hooks_.customLogos)
    for (const std::string& name : hooks_.customLogos()) backgroundLogo_->addItem(QString::fromStdString(name));
  backgroundLogo_->addItem(kAddCustom);
  const int choice = settings_.BackgroundChoice.load();
  backgroundLogo_->setCurrentIndex(choice < backgroundLogo_->count() - 1 ? choice : 0);
  loading_ = wasLoading;
}

void OptionsWindow::Reload() {
  loading_ = true;
  for (const auto& [box, setting] : checks_) box->setChecked(setting->load());
  startRequestServer_->setChecked(ReadStartWithProgram());
  requestCodeOnScreen_->setChecked(ReadRequestCodeOnScreen());
  tickerLoops_->setCurrentIndex(settings_.TickerLoops.load() - 1);
  timerInterval_->setCurrentIndex(settings_.CountdownSeconds.load() - 5);
  singerCount_->setCurrentIndex(settings_.TickerSingersMinus3.load());
  levelTarget_->setValue(settings_.LevelTargetLufs.load());
  endMargin_->setValue(settings_.EndMarginSeconds.load());
  preferredMakers_->setText(QString::fromStdString(settings_.PreferredMakers));
  if (QCheckBox* autoGain = Check("Auto Gain Control")) autoGain->setEnabled(!settings_.LevelSongs.load());
  FillBackgroundLogos();
  loading_ = false;
  KeepPlayingChanged(settings_.KeepPlayingNonStop.load());
}

void OptionsWindow::KeepPlayingChanged(bool on) {
  for (const char* caption :
       {"Auto Announce Singer", "Empty Singers in Ticker", "Auto Next Singer Ticker"})
    if (QCheckBox* box = Check(caption)) box->setEnabled(!on);
  tickerLoops_->setEnabled(!on);
}

}  // namespace lyricade
