#include "singers/ui/singer_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "singers/singer_rotation.h"
#include "singers/rotation_host.h"
#include "singers/singer_rotation.h"
#include "singers/ui/rotation_models.h"
#include "common/designed_columns.h"
#include "singers/ui/singer_name_dialog.h"
#include "singers/ui/song_parameters_dialog.h"

namespace lyricade {
namespace {

QTreeView* ListView(QAbstractItemModel* model, ColumnList list, QWidget* parent) {
  auto* view = new QTreeView(parent);
  view->setModel(model);
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);
  view->setAllColumnsShowFocus(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->header()->setStretchLastSection(false);
  view->header()->setMinimumSectionSize(0);
  view->header()->setSectionsMovable(false);
  const std::vector<DesignedColumn>& designed = DesignedColumns(list);
  for (size_t c = 0; c < designed.size(); ++c) view->setColumnWidth(static_cast<int>(c), designed[c].Width);
  return view;
}

// Puts the view's current row at `row` (or none) without scrolling away.
void ShowRow(QTreeView* view, int row) {
  QItemSelectionModel* selection = view->selectionModel();
  if (row >= 0 && row < view->model()->rowCount()) {
    const QModelIndex index = view->model()->index(row, 0);
    if (selection->currentIndex().row() != row || !selection->isRowSelected(row))
      selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    selection->clear();
  }
}

}  // namespace

SingerPanel::SingerPanel(RotationHost& show, Prompts& prompts, HistoryNames names, QWidget* parent)
    : QWidget(parent), show_(show), prompts_(prompts), names_(std::move(names)) {
  SingerRotation& rotation = show_.Rotation();
  singerModel_ = new SingerListModel(rotation, this);
  playlistModel_ = new PlaylistModel(rotation, this);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);

  // The singer list and its buttons.
  auto* singerColumn = new QVBoxLayout;
  singerColumn->addWidget(new QLabel(QStringLiteral("Singers"), this));
  singerView_ = ListView(singerModel_, ColumnList::Singers, this);
  singerView_->setMinimumWidth(250);
  singerColumn->addWidget(singerView_, 1);
  auto* singerButtons = new QGridLayout;
  singerButtons->setSpacing(3);
  singerButtons->addWidget(AddButton(Command::AddSinger, QStringLiteral("+"), QStringLiteral("Add Singer")), 0, 0);
  singerButtons->addWidget(AddButton(Command::EditSinger, QStringLiteral("Edit"), QStringLiteral("Edit Singer Name")), 0, 1);
  singerButtons->addWidget(AddButton(Command::RemoveSinger, QStringLiteral("Remove"), QStringLiteral("Remove Singer")), 0, 2, 1, 2);
  singerButtons->addWidget(AddButton(Command::SingerToTop, QStringLiteral("Top"), QStringLiteral("Move Singer to Top")), 1, 0);
  singerButtons->addWidget(AddButton(Command::SingerUp, QStringLiteral("Up"), QStringLiteral("Move Singer Up")), 1, 1);
  singerButtons->addWidget(AddButton(Command::SingerDown, QStringLiteral("Down"), QStringLiteral("Move Singer Down")), 1, 2);
  singerButtons->addWidget(AddButton(Command::SingerToBottom, QStringLiteral("Bottom"), QStringLiteral("Move Singer to Bottom")), 1, 3);
  singerColumn->addLayout(singerButtons);
  layout->addLayout(singerColumn, 0);

  // The selected singer's playlist and its buttons.
  auto* playlistColumn = new QVBoxLayout;
  playlistTitle_ = new QLabel(this);
  // Singer names are shown as typed, never read as markup.
  playlistTitle_->setTextFormat(Qt::PlainText);
  playlistColumn->addWidget(playlistTitle_);
  playlistView_ = ListView(playlistModel_, ColumnList::Playlist, this);
  playlistColumn->addWidget(playlistView_, 1);
  auto* songButtons = new QHBoxLayout;
  songButtons->setSpacing(3);
  songButtons->addWidget(AddButton(Command::EditSong, QStringLiteral("Edit"), QStringLiteral("Edit Song Parameters")));
  songButtons->addWidget(AddButton(Command::RemoveSong, QStringLiteral("Remove"), QStringLiteral("Remove Song")));
  songButtons->addSpacing(12);
  songButtons->addWidget(AddButton(Command::SongToTop, QStringLiteral("Top"), QStringLiteral("Move Song to Top")));
  songButtons->addWidget(AddButton(Command::SongUp, QStringLiteral("Up"), QStringLiteral("Move Song Up")));
  songButtons->addWidget(AddButton(Command::SongDown, QStringLiteral("Down"), QStringLiteral("Move Song Down")));
  songButtons->addWidget(AddButton(Command::SongToBottom, QStringLiteral("Bottom"), QStringLiteral("Move Song to Bottom")));
  songButtons->addStretch(1);
  playlistColumn->addLayout(songButtons);
  layout->addLayout(playlistColumn, 1);

  // Clicks (and the arrow keys) select; double clicks cue.
  connect(singerView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!syncing_ && current.isValid()) show_.Rotation().SelectSinger(current.row());
          });
  connect(playlistView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!syncing_ && current.isValid()) show_.Rotation().SelectSong(current.row());
          });
  connect(singerView_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) show_.CueSinger(index.row());
  });
  connect(playlistView_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) show_.CueSong(index.row());
  });
  // "Sit Out" / "Back In" (also Ctrl+O on the list) and "Lock Next Up": the
  // menu of a singer row.
  singerView_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(singerView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const QModelIndex index = singerView_->indexAt(at);
    if (!index.isValid()) return;
    show_.Rotation().SelectSinger(index.row());
    QMenu menu(this);
    const bool out = show_.Rotation().Singers()[index.row()].SittingOut;
    menu.addAction(out ? QStringLiteral("Back In") : QStringLiteral("Sit Out"), this,
                   [this] { ToggleSittingOut(); });
    QAction* lock = menu.addAction(QStringLiteral("Lock Next Up"), this, [this](bool checked) {
      show_.Rotation().SetNextUpLocked(checked);
    });
    lock->setCheckable(true);
    lock->setChecked(show_.Rotation().NextUpLocked());
    // The rules' options, kept with the rotation's state.
    const RotationOptions options = show_.Rotation().Options();
    QMenu* join = menu.addMenu(QStringLiteral("New singers join"));
    for (const auto& [text, placement] :
         {std::pair{QStringLiteral("at the end"), NewcomerPlacement::AtEnd},
          std::pair{QStringLiteral("fairly"), NewcomerPlacement::Fairly}}) {
      QAction* item = join->addAction(text, this, [this, placement = placement] {
        RotationOptions changed = show_.Rotation().Options();
        changed.Join = placement;
        show_.Rotation().SetOptions(changed);
      });
      item->setCheckable(true);
      item->setChecked(options.Join == placement);
    }
    QMenu* perTurn = menu.addMenu(QStringLiteral("Songs per turn"));
    for (int songs = 1; songs <= 3; ++songs) {
      QAction* item = perTurn->addAction(QString::number(songs), this, [this, songs] {
        RotationOptions changed = show_.Rotation().Options();
        changed.SongsPerTurn = songs;
        show_.Rotation().SetOptions(changed);
      });
      item->setCheckable(true);
      item->setChecked(options.SongsPerTurn == songs);
    }
    QAction* waits = menu.addAction(QStringLiteral("Waits on the Ticker"), this, [this](bool checked) {
      RotationOptions changed = show_.Rotation().Options();
      changed.TickerWaits = checked;
      show_.Rotation().SetOptions(changed);
    });
    waits->setCheckable(true);
    waits->setChecked(options.TickerWaits);
    QAction* keys = menu.addAction(QStringLiteral("Remember Singers' Keys"), this, [this](bool checked) {
      RotationOptions changed = show_.Rotation().Options();
      changed.RememberKeys = checked;
      show_.Rotation().SetOptions(changed);
    });
    keys->setCheckable(true);
    keys->setChecked(options.RememberKeys);
    QAction* approve = menu.addAction(QStringLiteral("Approve Requests"), this, [this](bool checked) {
      RotationOptions changed = show_.Rotation().Options();
      changed.ApproveRequests = checked;
      show_.Rotation().SetOptions(changed);
    });
    approve->setCheckable(true);
    approve->setChecked(options.ApproveRequests);
    menu.exec(singerView_->viewport()->mapToGlobal(at));
  });
  auto* sitOut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), singerView_);
  sitOut->setContext(Qt::WidgetShortcut);
  connect(sitOut, &QShortcut::activated, this, &SingerPanel::ToggleSittingOut);
  connect(&show_, &RotationHost::rotationChanged, this, &SingerPanel::Refresh);
  Refresh();
}

void SingerPanel::ToggleSittingOut() {
  SingerRotation& rotation = show_.Rotation();
  const int singer = rotation.SelectedSinger();
  if (rotation.ValidSinger(singer)) rotation.SetSittingOut(singer, !rotation.Singers()[singer].SittingOut);
}

QPushButton* SingerPanel::AddButton(Command command, const QString& text, const QString& tip) {
  auto* button = new QPushButton(text, this);
  button->setToolTip(tip);
  button->setAutoDefault(false);
  button->setMinimumWidth(40);
  connect(button, &QPushButton::clicked, this, [this, command] { Run(command); });
  buttons_[command] = button;
  return button;
}

void SingerPanel::Run(Command command) {
  SingerRotation& rotation = show_.Rotation();
  switch (command) {
    case Command::AddSinger: AddSinger(); break;
    case Command::EditSinger: EditSinger(); break;
    case Command::RemoveSinger:
      // No question when there is nothing to remove.
      if (rotation.ValidSinger(rotation.SelectedSinger())) show_.RemoveSelectedSinger();
      break;
    case Command::SingerToTop: rotation.MoveSingerToTop(); break;
    case Command::SingerUp: rotation.MoveSingerUp(); break;
    case Command::SingerDown: rotation.MoveSingerDown(); break;
    case Command::SingerToBottom: rotation.MoveSingerToBottom(); break;
    case Command::EditSong: EditSong(); break;
    case Command::RemoveSong:
      if (rotation.ValidSong(rotation.SelectedSinger(), rotation.SelectedSong()))
        show_.RemoveSelectedSong();
      break;
    case Command::SongToTop: rotation.MoveSongToTop(); break;
    case Command::SongUp: rotation.MoveSongUp(); break;
    case Command::SongDown: rotation.MoveSongDown(); break;
    case Command::SongToBottom: rotation.MoveSongToBottom(); break;
  }
}

void SingerPanel::AddSinger() {
  SingerNameDialog dialog(SingerNameDialog::Purpose::Add, {}, prompts_, names_, this);
  if (dialog.exec() == QDialog::Accepted) show_.Rotation().AppendSinger(dialog.Name());
}

void SingerPanel::EditSinger() {
  SingerRotation& rotation = show_.Rotation();
  const int singer = rotation.SelectedSinger();
  if (!rotation.ValidSinger(singer)) return;
  SingerNameDialog dialog(SingerNameDialog::Purpose::Edit, rotation.Singers()[singer].Name, prompts_,
                          names_, this);
  // The rotation may change while the dialog is open (a request arrives):
  // the singer is renamed only when it is still the one selected.
  if (dialog.exec() == QDialog::Accepted && rotation.SelectedSinger() == singer)
    rotation.RenameSinger(singer, dialog.Name());
}

void SingerPanel::EditSong() {
  SingerRotation& rotation = show_.Rotation();
  const int singer = rotation.SelectedSinger();
  const int song = rotation.SelectedSong();
  if (!rotation.ValidSong(singer, song)) return;
  const QueuedSong& queued = rotation.Singers()[singer].Playlist[song];
  SongParametersDialog dialog(queued.Key, queued.Multiplex, queued.Tempo, this);
  if (dialog.exec() == QDialog::Accepted && rotation.SelectedSinger() == singer &&
      rotation.SelectedSong() == song)
    rotation.EditSelectedSong(dialog.Key(), dialog.Multiplex(), dialog.Tempo());
}

void SingerPanel::Refresh() {
  const SingerRotation& rotation = show_.Rotation();
  syncing_ = true;
  singerModel_->SetWaits(show_.SingerWaits());
  singerModel_->Refresh();
  playlistModel_->Refresh();
  ShowRow(singerView_, rotation.ValidSinger(rotation.SelectedSinger()) ? rotation.SelectedSinger() : -1);
  ShowRow(playlistView_, rotation.ValidSong(rotation.SelectedSinger(), rotation.SelectedSong())
                             ? rotation.SelectedSong()
                             : -1);
  playlistTitle_->setText(QString::fromStdString(PlaylistTitle(rotation)));
  syncing_ = false;
}

}  // namespace lyricade
