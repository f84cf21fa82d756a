#include "singers/ui/rotation_models.h"

#include <QBrush>
#include <QColor>

#include "singers/singer_rotation.h"

namespace lyricade {
namespace {

QVariant TextColour(bool red, bool grey = false) {
  if (red) return QBrush(QColor(220, 0, 0));
  return QBrush(grey ? QColor(150, 150, 150) : QColor(0, 0, 0));
}

std::string KeyText(int key) {
  if (key > 0) return "+" + std::to_string(key);
  if (key < 0) return std::to_string(key);
  return "Norm";
}

std::string MultiplexLetter(int multiplex) {
  switch (multiplex) {
    case 0: return "C";
    case 1: return "L";
    case 2: return "R";
    default: return "";
  }
}

}  // namespace

std::string PlaylistTitle(const SingerRotation& rotation) {
  if (!rotation.ValidSinger(rotation.SelectedSinger())) return "Singer's Playlist";
  return "Singer's Playlist (for " + rotation.Singers()[rotation.SelectedSinger()].Name + ")";
}

const char* const SingerListModel::kHeaders[kColumnCount] = {"#", "Songs", "Singer Name", "Wait"};

SingerListModel::SingerListModel(const SingerRotation& rotation, QObject* parent)
    : QAbstractTableModel(parent), rotation_(rotation), rows_(rotation.Count()) {}

std::string SingerListModel::CellText(int row, int column) const {
  if (!rotation_.ValidSinger(row)) return {};
  const Singer& singer = rotation_.Singers()[row];
  switch (column) {
    case 0: return std::to_string(row + 1);
    case 1: return "(" + std::to_string(singer.Playlist.size()) + ")";
    case 2: return singer.Name;
    case 3: return row < static_cast<int>(waits_.size()) ? WaitText(waits_[row]) : std::string();
    default: return {};
  }
}

bool SingerListModel::RowIsRed(int row) const {
  return rotation_.ValidSinger(row) && row == rotation_.CurrentSinger();
}

bool SingerListModel::RowIsGrey(int row) const {
  return rotation_.ValidSinger(row) && rotation_.Singers()[row].SittingOut;
}

void SingerListModel::Refresh() {
  if (rotation_.Count() != rows_) {
    beginResetModel();
    rows_ = rotation_.Count();
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kColumnCount - 1));
  }
}

int SingerListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int SingerListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant SingerListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(CellText(index.row(), index.column()));
  if (role == Qt::ForegroundRole) return TextColour(RowIsRed(index.row()), RowIsGrey(index.row()));
  return {};
}

QVariant SingerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return {};
  return QString::fromLatin1(kHeaders[section]);
}

const char* const PlaylistModel::kHeaders[kColumnCount] = {
    "#", "Key", "MX", "Song Name", "Artist", "ID", "Comment", "Year", "Location", "Ref"};

PlaylistModel::PlaylistModel(const SingerRotation& rotation, QObject* parent)
    : QAbstractTableModel(parent), rotation_(rotation) {
  shownSinger_ = rotation_.ValidSinger(rotation_.SelectedSinger()) ? rotation_.SelectedSinger() : -1;
  rows_ = SingerRows();
}

int PlaylistModel::SingerRows() const {
  const int singer = rotation_.SelectedSinger();
  if (!rotation_.ValidSinger(singer)) return 0;
  return static_cast<int>(rotation_.Singers()[singer].Playlist.size());
}

std::string PlaylistModel::CellText(int row, int column) const {
  if (!rotation_.ValidSong(shownSinger_, row)) return {};
  const QueuedSong& song = rotation_.Singers()[shownSinger_].Playlist[row];
  switch (column) {
    case 0: return std::to_string(row + 1);
    // A remembered key and channel are marked: the host sees they were not
    // chosen tonight.
    case 1: return KeyText(song.Key) + (song.KeyRemembered ? " *" : "");
    case 2: return MultiplexLetter(song.Multiplex) + (song.KeyRemembered ? " *" : "");
    case 3: return song.Title;
    case 4: return song.Artist;
    case 5: return song.Id;
    case 6: return song.Comment;
    case 7: return song.Year;
    case 8: return song.Path;
    default: return {};  // Ref is always empty.
  }
}

bool PlaylistModel::RowIsRed(int row) const {
  return rotation_.ValidSong(shownSinger_, row) && shownSinger_ == rotation_.CurrentSinger() &&
         row == rotation_.CurrentSong();
}

void PlaylistModel::Refresh() {
  const int singer = rotation_.ValidSinger(rotation_.SelectedSinger()) ? rotation_.SelectedSinger() : -1;
  const int rows = SingerRows();
  if (singer != shownSinger_ || rows != rows_) {
    beginResetModel();
    shownSinger_ = singer;
    rows_ = rows;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kColumnCount - 1));
  }
}

int PlaylistModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int PlaylistModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(CellText(index.row(), index.column()));
  if (role == Qt::ForegroundRole) return TextColour(RowIsRed(index.row()));
  if (role == Qt::ToolTipRole && (index.column() == 1 || index.column() == 2) &&
      rotation_.ValidSong(shownSinger_, index.row()) &&
      rotation_.Singers()[shownSinger_].Playlist[index.row()].KeyRemembered)
    return QStringLiteral("Key and channel from the last time");
  return {};
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return {};
  return QString::fromLatin1(kHeaders[section]);
}

}  // namespace lyricade
