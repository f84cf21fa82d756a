#include "library/library_list_model.h"

#include <unistd.h>

#include <QBrush>
#include <QColor>

namespace lyricade {
namespace {

// The Items field shown in each column.
constexpr const char* kFields[LibraryListModel::kColumnCount] = {
    "Title", "Artist", "ID", "Comments1", "Year1", "SongPath", "ItemNum"};

bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

}  // namespace

const char* const LibraryListModel::kHeaders[kColumnCount] = {
    "Song Name", "Artist", "ID", "Comment", "Year", "Location", "Ref"};

LibraryListModel::LibraryListModel(QObject* parent) : QAbstractTableModel(parent) {}

void LibraryListModel::SetResult(std::shared_ptr<DbResult> result, std::shared_ptr<const VersionLayout> layout) {
  beginResetModel();
  result_ = std::move(result);
  layout_ = layout ? std::make_shared<VersionLayout>(*layout) : nullptr;
  rowCount_ = 0;
  for (int c = 0; c < kColumnCount; ++c) fields_[c] = -1;
  if (result_ && result_->IsOpen()) {
    if (result_->MoveFirst()) rowCount_ = layout_ ? static_cast<long>(layout_->RowCount()) : result_->RecordCount();
    for (int c = 0; c < kColumnCount; ++c) fields_[c] = result_->FieldIndex(kFields[c]);
  }
  endResetModel();
}

void LibraryListModel::Clear() { SetResult(nullptr); }

bool LibraryListModel::MoveTo(long row) const {
  // Cell requests may name rows of a list that has since been emptied or
  // replaced: only rows of the current result are read.
  if (!result_ || row < 0 || row >= rowCount_) return false;
  return result_->MoveTo(layout_ ? static_cast<long>(layout_->ResultRow(static_cast<size_t>(row))) : row);
}

size_t LibraryListModel::VersionCount(long row) const {
  if (!layout_ || row < 0 || row >= rowCount_) return 0;
  return layout_->VersionCount(static_cast<size_t>(row));
}

bool LibraryListModel::ToggleVersions(long row) {
  if (VersionCount(row) < 2) return false;
  const bool opening = !layout_->IsOpen(static_cast<size_t>(row));
  const size_t count = VersionCount(row) - 1;
  const int first = static_cast<int>(row) + 1, last = static_cast<int>(row + static_cast<long>(count));
  if (opening)
    beginInsertRows(QModelIndex(), first, last);
  else
    beginRemoveRows(QModelIndex(), first, last);
  size_t changed = 0;
  layout_->Toggle(static_cast<size_t>(row), changed);
  rowCount_ = static_cast<long>(layout_->RowCount());
  if (opening)
    endInsertRows();
  else
    endRemoveRows();
  // The song's own row shows whether it is open.
  emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), 0));
  return true;
}

std::string LibraryListModel::CellText(long row, int column) const {
  if (column < 0 || column >= kColumnCount || !MoveTo(row)) return {};
  std::string text = result_->Text(fields_[column]).value_or(std::string());
  if (column == kLocationColumn && text.find("http://") == std::string::npos && !FileExists(text))
    text += '*';
  return text;
}

bool LibraryListModel::RowMissing(long row) const {
  const std::string location = CellText(row, kLocationColumn);
  return !location.empty() && location.back() == '*';
}

long LibraryListModel::ItemNumber(long row) const {
  if (!MoveTo(row)) return 0;
  return static_cast<long>(result_->Integer(fields_[kRefColumn]).value_or(0));
}

std::string LibraryListModel::SongPath(long row) const {
  if (!MoveTo(row)) return {};
  return result_->Text(fields_[kLocationColumn]).value_or(std::string());
}

int LibraryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rowCount_);
}

int LibraryListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant LibraryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount_) return {};
  switch (role) {
    case Qt::DisplayRole: {
      QString text = QString::fromStdString(CellText(index.row(), index.column()));
      if (index.column() != 0 || !layout_) return text;
      // A song of several versions says how many and whether it is open;
      // its other versions stand indented beneath it.
      const size_t versions = VersionCount(index.row());
      if (versions == 0) return QStringLiteral("      ") + text;
      if (versions == 1) return text;
      return (layout_->IsOpen(static_cast<size_t>(index.row())) ? QStringLiteral("\u25BE ") : QStringLiteral("\u25B8 ")) +
             text + QStringLiteral("  (%1 versions)").arg(versions);
    }
    case Qt::DecorationRole:
      if (index.column() == 0 && !songIcon_.isNull()) return songIcon_;
      return {};
    case Qt::ForegroundRole:
      // Asked only while the row is painted, so the file test runs only for
      // visible rows.
      return QBrush(RowMissing(index.row()) ? QColor(220, 0, 0) : QColor(0, 0, 0));
    default:
      return {};
  }
}

QVariant LibraryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return {};
  return QString::fromLatin1(kHeaders[section]);
}

}  // namespace lyricade
