#include "singers/ui/history_song_model.h"
#include "common/path_pieces.h"

#include <QBrush>
#include <QColor>

#include <filesystem>

namespace lyricade {
const char* const HistorySongModel::kHeaders[kColumnCount] = {
    "Key", "MX", "Song Name", "Artist", "ID", "Comment", "Count", "Location", "Ref"};
const int HistorySongModel::kWidths[kColumnCount] = {65, 35, 300, 200, 120, 0, 50, 120, 1};

HistorySongModel::HistorySongModel(QObject* parent) : QAbstractTableModel(parent) {}

void HistorySongModel::SetRows(std::vector<HistoryRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  missing_.clear();
  for (const HistoryRow& row : rows_) missing_.push_back(!IsRegularFile(row.Path));
  endResetModel();
}

std::string HistorySongModel::CellText(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
  const HistoryRow& entry = rows_[static_cast<size_t>(row)];
  switch (column) {
    case 0: return entry.Key == 0 ? "Norm" : std::to_string(entry.Key);
    case 1:
      switch (entry.Multiplex) {
        case 0: return "C";
        case 1: return "L";
        case 2: return "R";
        default: return "";
      }
    case 2: return entry.Title;
    case 3: return entry.Artist;
    case 4: return entry.Id;
    case 5: return entry.Comment;
    case 6: return entry.Count;
    case 7: return entry.Path;
    default: return {};  // Ref is always empty.
  }
}

bool HistorySongModel::RowIsRed(int row) const {
  return row >= 0 && row < static_cast<int>(missing_.size()) && missing_[static_cast<size_t>(row)];
}

int HistorySongModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HistorySongModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant HistorySongModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(CellText(index.row(), index.column()));
  if (role == Qt::ForegroundRole)
    return QBrush(RowIsRed(index.row()) ? QColor(220, 0, 0) : QColor(0, 0, 0));
  return {};
}

QVariant HistorySongModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return {};
  return QString::fromLatin1(kHeaders[section]);
}

}  // namespace lyricade
