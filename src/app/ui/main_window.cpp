#include "app/ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "app/app_log.h"
#include "app/show.h"
#include "app/transport_display.h"
#include "common/app_settings.h"
#include "library/library_list_controller.h"
#include "library/library_list_model.h"
#include "library/library_list_view.h"
#include "platform/prompts/prompts.h"
#include "screen/preview_widget.h"

namespace lyricade {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The Edit menu of the library: the maintenance commands, and the windows
// that come with later parts of the program, listed but not yet active
// until the program connects them.
const char* const kEditMenuEntries[] = {
    "Remove Song(s)...",       "Remove Bad Song(s)...",  "Purge Song(s)...",
    "Edit Item Information...", "Flip Title/Artist...",   "Flip Title/ID...",
    "Flip Artist/ID...",       "* Clear Database *...",  "Compact Database...",
    "Add Single Song...",      "Remote Server Dialog...", "Songs Manager...",
    "Reset All Columns...",    "Search and Replace...",   "Room Board...",
    "Print Songbook...",        "Library Folders...",      "Refresh Library",
    "Show Needs Attention",     "Re-check Needs Attention",
};

}  // namespace

const char* const MainWindow::kSearchFields[7] = {"Title",   "Artist",   "ID",       "Year",
                                                  "Comment", "Location", "Match All"};

MainWindow::MainWindow(MainWindowParts parts, QWidget* parent)
    : QWidget(parent), parts_(std::move(parts)) {
  setWindowTitle(kCaption);
  skin_.Load(parts_.dataFolder);
  resize(1280, 800);

  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(8, 8, 8, 8);
  columns->setSpacing(10);

  leftColumn_ = new QVBoxLayout;
  leftColumn_->setSpacing(6);
  saveWarning_ = new QLabel(this);
  saveWarning_->setTextFormat(Qt::PlainText);
  saveWarning_->setWordWrap(true);
  saveWarning_->setStyleSheet("color: #ffffff; background: #b00000; padding: 4px;");
  saveWarning_->hide();
  leftColumn_->addWidget(saveWarning_);
  leftColumn_->addWidget(BuildLibraryArea(), 1);
  columns->addLayout(leftColumn_, 1);
  columns->addWidget(BuildTransport());

  // Accelerators for every window of the program (the History, venue and
  // options windows; the singers' screen passes its keys to
  // RunAccelerator); inside a text field the field's own editing keys (undo,
  // cut, copy, select all) take precedence.
  for (const int key : {Qt::Key_Z, Qt::Key_X, Qt::Key_C, Qt::Key_A, Qt::Key_S}) {
    auto* item = new QShortcut(QKeySequence(Qt::CTRL | key), this);
    item->setContext(Qt::ApplicationShortcut);
    connect(item, &QShortcut::activated, this, [this, key] { RunAccelerator(key, Qt::ControlModifier); });
  }

  connect(parts_.show, &Show::ticked, this, &MainWindow::Refresh);
  connect(searchField_, &QComboBox::currentIndexChanged, this, &MainWindow::settingsEdited);
  connect(matchAll_, &QRadioButton::toggled, this, &MainWindow::settingsEdited);
  connect(enableBackgrounds_, &QCheckBox::toggled, this, &MainWindow::settingsEdited);
  connect(parts_.show, &Show::transportChanged, this, &MainWindow::RefreshTransport);
  connect(parts_.show, &Show::songEnded, this, &MainWindow::RefreshTransport);
  connect(parts_.show, &Show::rotationChanged, this, &MainWindow::Refresh);
  connect(parts_.show, &Show::hostNoteChanged, this, [this] {
    hostNote_->setText(Q(parts_.show->HostNote()));
    hostNote_->setVisible(!parts_.show->HostNote().empty());
  });
  Refresh();
  RefreshTransport();
}

void MainWindow::SetSaveWarning(const std::string& text) {
  saveWarning_->setText(Q(text));
  saveWarning_->setVisible(!text.empty());
}

QPushButton* MainWindow::Button(const QString& text, const QString& tip) {
  auto* button = new SkinnedButton(text, skin_, this);
  if (!tip.isEmpty()) button->setToolTip(tip);
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

QPushButton* MainWindow::Disabled(const QString& text, const QString& tip) {
  QPushButton* button = Button(text, tip + " (not in this version yet)");
  button->setEnabled(false);
  return button;
}

QWidget* MainWindow::BuildLibraryArea() {
  auto* area = new QGroupBox("Song Library", this);
  auto* layout = new QVBoxLayout(area);

  auto* searchRow = new QHBoxLayout;
  searchBox_ = new QLineEdit(area);
  searchBox_->setPlaceholderText("Search words");
  searchBox_->setClearButtonEnabled(true);
  searchBox_->setMinimumWidth(180);
  searchField_ = new QComboBox(area);
  for (const char* field : kSearchFields) searchField_->addItem(field);
  searchField_->setCurrentIndex(6);
  matchAll_ = new QRadioButton("Match All", area);
  matchAny_ = new QRadioButton("Match Atleast One", area);
  matchAll_->setChecked(true);
  // Off unless the host turned it on; kept apart from the preferences file,
  // whose layout is fixed.
  searchAsYouType_ = new QCheckBox("Search as you type", area);
  searchAsYouType_->setChecked(QSettings().value(kSearchAsYouTypeKey, false).toBool());
  typingPause_ = new QTimer(this);
  typingPause_->setSingleShot(true);
  typingPause_->setInterval(kTypingPauseMs);
  search_ = Button("Search");
  showAll_ = Button("Show All");
  searchRow->addWidget(searchBox_, 1);
  searchRow->addWidget(new QLabel("Search On:", area));
  searchRow->addWidget(searchField_);
  searchRow->addWidget(matchAll_);
  searchRow->addWidget(matchAny_);
  searchRow->addWidget(searchAsYouType_);
  searchRow->addWidget(search_);
  searchRow->addWidget(showAll_);
  layout->addLayout(searchRow);

  libraryView_ = new LibraryListView(*parts_.libraryModel, *parts_.libraryController, area);
  layout->addWidget(libraryView_, 1);

  auto* bottom = new QHBoxLayout;
  QPushButton* addToSinger = Button("Add to Singer...", "Queue the selected song for a singer");
  addFolder_ = Button("Add Folder...", "Import a folder of songs");
  QPushButton* edit = Button("Edit");
  editMenu_ = new QMenu(this);
  for (const char* entry : kEditMenuEntries) editMenu_->addAction(entry)->setEnabled(false);
  edit->setMenu(editMenu_);
  status_ = new QLabel(area);
  status_->setTextFormat(Qt::PlainText);
  venueBox_ = new QComboBox(area);
  bottom->addWidget(addToSinger);
  bottom->addWidget(addFolder_);
  bottom->addWidget(edit);
  bottom->addWidget(status_, 1);
  measuring_ = new QLabel(area);
  measuring_->setTextFormat(Qt::PlainText);
  bottom->addWidget(measuring_);
  bottom->addWidget(new QLabel("Assign Venue:", area));
  bottom->addWidget(venueBox_);
  layout->addLayout(bottom);

  LibraryListController* controller = parts_.libraryController;
  controller->SetControlsSource([this] {
    SearchControls controls;
    controls.Text = searchBox_->text().toStdString();
    controls.FieldChoice = searchField_->currentText().toStdString();
    controls.Mode = matchAny_->isChecked() ? MatchMode::AtleastOne : MatchMode::All;
    return controls;
  });
  // Enter searches; the box never takes a line break.
  connect(searchBox_, &QLineEdit::returnPressed, controller, &LibraryListController::Search);
  connect(search_, &QPushButton::clicked, controller, &LibraryListController::Search);
  connect(searchBox_, &QLineEdit::textEdited, this, [this] {
    if (searchAsYouType_->isChecked()) typingPause_->start();
  });
  connect(typingPause_, &QTimer::timeout, controller, &LibraryListController::SearchAsTyped);
  connect(searchAsYouType_, &QCheckBox::toggled, this, [this](bool on) {
    QSettings settings;
    settings.setValue(kSearchAsYouTypeKey, on);
    settings.sync();
    if (settings.status() != QSettings::NoError)
      qCWarning(lcApp, "cannot keep the option \"Search as you type\" in %s",
                qUtf8Printable(settings.fileName()));
    if (!on) typingPause_->stop();
  });
  connect(showAll_, &QPushButton::clicked, controller, &LibraryListController::ShowAll);
  connect(controller, &LibraryListController::statusChanged, status_, &QLabel::setText);
  connect(controller, &LibraryListController::buttonsEnabledChanged, this, [this](bool enabled) {
    search_->setEnabled(enabled);
    showAll_->setEnabled(enabled);
  });
  connect(libraryView_, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { emit queueLibraryRow(index.row()); });
  // With "Group Versions", a click on a song's name opens or closes its
  // other versions.
  connect(libraryView_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (index.column() == 0 && parts_.libraryModel) parts_.libraryModel->ToggleVersions(index.row());
  });
  connect(addToSinger, &QPushButton::clicked, this, &MainWindow::AddSelectedLibrarySong);
  return area;
}

QWidget* MainWindow::BuildTransport() {
  auto* panel = new QFrame(this);
  panel->setMinimumWidth(360);
  panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);

  songTitle_ = new QLabel(panel);
  singerName_ = new QLabel(panel);
  QFont bold = songTitle_->font();
  bold.setBold(true);
  for (QLabel* label : {songTitle_, singerName_}) {
    // Names and titles come from singers and tags: never rich text.
    label->setTextFormat(Qt::PlainText);
    label->setFont(bold);
    label->setWordWrap(true);
  }
  layout->addWidget(singerName_);
  layout->addWidget(songTitle_);

  if (parts_.preview) {
    auto* preview = new PreviewWidget(*parts_.preview, panel);
    preview->setFixedSize(320, 240);
    layout->addWidget(preview, 0, Qt::AlignHCenter);
  }

  auto* timeRow = new QHBoxLayout;
  timeText_ = new QLabel("00:00 | 00:00", panel);
  timeText_->setFont(bold);
  progress_ = new KaraokeBar(184, 17, panel);
  progress_->SetSkin(&skin_.Back());
  timeRow->addWidget(timeText_);
  timeRow->addWidget(progress_);
  layout->addLayout(timeRow);
  hostNote_ = new QLabel(panel);
  hostNote_->setTextFormat(Qt::PlainText);
  hostNote_->setWordWrap(true);
  hostNote_->setStyleSheet("color: #b00000;");
  hostNote_->hide();
  layout->addWidget(hostNote_);

  auto* transport = new QHBoxLayout;
  play_ = Button("Play", "Play the current singer's song (Ctrl+Z)");
  pause_ = Button("Pause", "Pause or resume (Ctrl+X)");
  stop_ = Button("Stop", "Stop the song (Ctrl+C)");
  play_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  pause_->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
  // Held down while the song is paused, so a glance tells.
  pause_->setCheckable(true);
  stop_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  for (QPushButton* button : {play_, pause_, stop_}) transport->addWidget(button);
  layout->addLayout(transport);

  auto* volumeRow = new QHBoxLayout;
  QPushButton* down = Button("-", "Volume down");
  QPushButton* up = Button("+", "Volume up");
  down->setFixedWidth(28);
  up->setFixedWidth(28);
  volumeBar_ = new KaraokeBar(133, 16, panel);
  volumeBar_->SetSkin(&skin_.Back());
  volumeText_ = new QLabel(panel);
  volumeText_->setFont(bold);
  volumeRow->addWidget(new QLabel("Volume:", panel));
  volumeRow->addWidget(down);
  volumeRow->addWidget(volumeBar_);
  volumeRow->addWidget(up);
  volumeRow->addWidget(volumeText_, 1);
  layout->addLayout(volumeRow);

  // Key, channel and tempo: the labels first, then the buttons.
  keyLabel_ = new QLabel(panel);
  channelLabel_ = new QLabel(panel);
  tempoLabel_ = new QLabel(panel);
  keyLabel_->setFont(bold);
  channelLabel_->setFont(bold);
  tempoLabel_->setFont(bold);
  auto* labels = new QHBoxLayout;
  labels->addWidget(new QLabel("Key:", panel));
  labels->addWidget(keyLabel_, 1);
  labels->addWidget(new QLabel("Channel:", panel));
  labels->addWidget(channelLabel_, 1);
  labels->addWidget(new QLabel("Tempo:", panel));
  labels->addWidget(tempoLabel_, 1);
  // The levelled song's gain ("Level −3.5 dB"); empty for a plain song.
  levelLabel_ = new QLabel(panel);
  levelLabel_->setTextFormat(Qt::PlainText);
  labels->addWidget(levelLabel_, 1);
  layout->addLayout(labels);
  auto* keys = new QHBoxLayout;
  keys->setSpacing(2);
  for (int k = -4; k <= 4; ++k) {
    QPushButton* key = Button(QString::number(k), "Key change in half steps");
    key->setMinimumWidth(30);
    keys->addWidget(key);
    connect(key, &QPushButton::clicked, this, [this, k] { parts_.show->SetKey(k); });
  }
  QPushButton* slower = Button("T-", "Tempo 1 % slower (the key stays)");
  QPushButton* faster = Button("T+", "Tempo 1 % faster (the key stays)");
  for (QPushButton* button : {slower, faster}) {
    button->setMinimumWidth(30);
    keys->addWidget(button);
  }
  connect(slower, &QPushButton::clicked, parts_.show, &Show::TempoDown);
  connect(faster, &QPushButton::clicked, parts_.show, &Show::TempoUp);
  layout->addLayout(keys);
  auto* channelRow = new QHBoxLayout;
  const std::pair<const char*, int> channels[] = {{"Left", 1}, {"Center", 0}, {"Right", 2}};
  for (const auto& [caption, channel] : channels) {
    QPushButton* button = Button(caption, "Multiplex songs: which channel plays");
    channelRow->addWidget(button);
    channelButtons_.push_back(button);
    connect(button, &QPushButton::clicked, this, [this, channel = channel] {
      parts_.show->SetChannel(channel);
    });
  }
  layout->addLayout(channelRow);

  auto* singers = new QGridLayout;
  QPushButton* announce = Button("Announce Singer", "Announce who is up (Ctrl+A)");
  QPushButton* next = Button("Next Singer", "Move to the next singer (Ctrl+S)");
  QPushButton* history = Button("Singer History");
  QPushButton* options = Button("Options...");
  singers->addWidget(announce, 0, 0);
  singers->addWidget(next, 0, 1);
  singers->addWidget(history, 1, 0);
  singers->addWidget(options, 1, 1);
  layout->addLayout(singers);

  auto* extras = new QGridLayout;
  enableBackgrounds_ = new QCheckBox("Enable", panel);
  enableBackgrounds_->setToolTip("Backgrounds behind the lyrics: the CD+G border is transparent");
  extras->addWidget(enableBackgrounds_, 0, 0);
  backgrounds_ = Button("Backgrounds", "Background pictures and videos");
  extras->addWidget(backgrounds_, 0, 1);
  QPushButton* ambients = Button("Music Ambients", "The break music list and its volume");
  QPushButton* effects = Button("Quick Effects", "Sound effect pads");
  QPushButton* nextTrack = Button("Next Track", "Next break music track");
  QPushButton* fadeOut = Button("Fade Out", "Fade the break music out");
  extras->addWidget(ambients, 1, 0);
  extras->addWidget(effects, 1, 1);
  extras->addWidget(nextTrack, 2, 0);
  extras->addWidget(fadeOut, 2, 1);
  QPushButton* songManager = Button("Song Manager...", "Online catalogue and store");
  extras->addWidget(songManager, 3, 0);
  QPushButton* help = Button("Help", "How to run a show");
  extras->addWidget(help, 3, 1);
  layout->addLayout(extras);
  layout->addStretch(1);

  Show* show = parts_.show;
  connect(play_, &QPushButton::clicked, show, [show] { show->Play(); });
  connect(pause_, &QPushButton::clicked, show, [this, show] {
    show->TogglePause();
    // The button shows the song's state, not its own click.
    pause_->setChecked(show->SongPaused());
  });
  connect(stop_, &QPushButton::clicked, show, &Show::Stop);
  connect(up, &QPushButton::clicked, show, &Show::VolumeUp);
  connect(down, &QPushButton::clicked, show, &Show::VolumeDown);
  connect(announce, &QPushButton::clicked, show, &Show::Announce);
  connect(next, &QPushButton::clicked, show, &Show::NextSinger);
  connect(history, &QPushButton::clicked, this, &MainWindow::singerHistoryRequested);
  connect(options, &QPushButton::clicked, this, &MainWindow::optionsRequested);
  connect(ambients, &QPushButton::clicked, this, &MainWindow::ambientsRequested);
  connect(effects, &QPushButton::clicked, this, &MainWindow::quickEffectsRequested);
  connect(nextTrack, &QPushButton::clicked, show, &Show::StartNextBreakTrack);
  connect(fadeOut, &QPushButton::clicked, show, &Show::FadeOutBreakTrack);
  connect(help, &QPushButton::clicked, this, &MainWindow::OpenHelp);
  connect(songManager, &QPushButton::clicked, this, &MainWindow::songManagerRequested);
  connect(enableBackgrounds_, &QCheckBox::toggled, this, [this](bool on) {
    parts_.settings->BackgroundsEnabled = on;
  });
  connect(enableBackgrounds_, &QCheckBox::clicked, show,
          [show](bool on) { show->Backgrounds().Enable(on); });
  connect(backgrounds_, &QPushButton::clicked, this, &MainWindow::backgroundOptionsRequested);
  connect(progress_, &KaraokeBar::dragStarted, show, [show] { show->SetProgressDragging(true); });
  connect(progress_, &KaraokeBar::valueDragged, show, &Show::DragProgressTo);
  connect(progress_, &KaraokeBar::dragFinished, show, [show] { show->SetProgressDragging(false); });
  connect(volumeBar_, &KaraokeBar::valueDragged, show, &Show::SetVolumeFromBar);
  return panel;
}

void MainWindow::Refresh() {
  Show* show = parts_.show;
  const NowUp up = show->NowUpDisplay();
  singerName_->setText(up.HasSinger ? Q(up.SingerName) : QString());
  songTitle_->setText(up.HasSong ? Q(up.Title) : QString());
  timeText_->setText(Q(show->TimeText()));
  if (!progress_->Dragging()) progress_->SetValue(show->ProgressBarValue());
  play_->setEnabled(show->PlayEnabled());
  pause_->setChecked(show->SongPaused());
}

void MainWindow::RefreshTransport() {
  Show* show = parts_.show;
  keyLabel_->setText(Q(show->KeyText()));
  channelLabel_->setText(Q(show->ChannelText()));
  tempoLabel_->setText(Q(show->TempoText()));
  for (QPushButton* button : channelButtons_) button->setEnabled(show->ChannelsApply());
  levelLabel_->setText(Q(show->Leveling().LevelText()));
  if (!volumeBar_->Dragging()) volumeBar_->SetValue(VolumeBarValue(show->Volume()));
  volumeText_->setText(QString::asprintf("%d%%", show->Volume()));
}

void MainWindow::AddSelectedLibrarySong() {
  const QModelIndexList rows = libraryView_->selectionModel()
                                   ? libraryView_->selectionModel()->selectedRows()
                                   : QModelIndexList();
  if (rows.isEmpty()) return;
  emit queueLibraryRow(rows.first().row());
}

void MainWindow::OpenHelp() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(parts_.programFolder) + "Lyricade.html"));
}

bool MainWindow::RunAccelerator(int key, Qt::KeyboardModifiers modifiers) {
  if ((modifiers & ~Qt::KeypadModifier) != Qt::ControlModifier) return false;
  switch (key) {
    case Qt::Key_Z:
      if (play_->isEnabled()) play_->click();
      return true;
    case Qt::Key_X: pause_->click(); return true;
    case Qt::Key_C: parts_.show->Stop(); return true;
    case Qt::Key_A: parts_.show->Announce(); return true;
    case Qt::Key_S: parts_.show->NextSinger(); return true;
    default: return false;
  }
}

QAction* MainWindow::EditMenuAction(const QString& text) const {
  for (QAction* action : editMenu_->actions())
    if (action->text() == text) return action;
  return nullptr;
}

void MainWindow::SetSingerPanel(QWidget* panel) {
  panel->setParent(this);
  leftColumn_->insertWidget(0, panel, 1);
}

void MainWindow::SetRequestsPanel(QWidget* panel) {
  panel->setParent(this);
  // Below the rotation, above the library.
  leftColumn_->insertWidget(leftColumn_->count() - 1, panel, 0);
}

void MainWindow::SetMeasuringStatus(const std::string& text) { measuring_->setText(Q(text)); }

void MainWindow::ApplySettingsToControls() {
  AppSettings& settings = *parts_.settings;
  searchField_->setCurrentIndex(std::clamp(settings.SearchField.load(), 0, 6));
  matchAll_->setChecked(settings.MatchAll.load());
  matchAny_->setChecked(settings.MatchAtleastOne.load() && !settings.MatchAll.load());
  enableBackgrounds_->setChecked(settings.BackgroundsEnabled.load());
  RefreshTransport();
}

void MainWindow::StoreControlsInSettings() {
  AppSettings& settings = *parts_.settings;
  settings.SearchField = searchField_->currentIndex();
  settings.MatchAll = matchAll_->isChecked();
  settings.MatchAtleastOne = matchAny_->isChecked();
}

void MainWindow::RecordGeometry() {
  AppSettings& settings = *parts_.settings;
  // Until the preferences have placed the window, its moves are not the
  // host's.
  if (!geometryRestored_ || isMinimized()) return;
  settings.MainWindowMaximised = isMaximized();
  if (isMaximized()) return;
  const QRect frame = geometry();
  settings.MainWindowLeft = frame.x();
  settings.MainWindowTop = frame.y();
  settings.MainWindowWidth = frame.width();
  settings.MainWindowHeight = frame.height();
}

void MainWindow::RestoreGeometry() {
  AppSettings& settings = *parts_.settings;
  geometryRestored_ = true;
  if (settings.MainWindowMaximised.load()) {
    showMaximized();
    return;
  }
  if (settings.MainWindowWidth.load() > 0 && settings.MainWindowHeight.load() > 0)
    setGeometry(settings.MainWindowLeft.load(), settings.MainWindowTop.load(),
                settings.MainWindowWidth.load(), settings.MainWindowHeight.load());
  show();
}

void MainWindow::paintEvent(QPaintEvent*) {
  if (!skin_.Loaded()) return;
  QPainter painter(this);
  skin_.PaintBackground(painter, size());
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  RecordGeometry();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RecordGeometry();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  RecordGeometry();
  StoreControlsInSettings();
  if (closeHandler_ && !closeHandler_()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace lyricade
