#pragma once
// The library list as a Qt model: a window onto the current list result.
// It holds no row data; each cell is read from the result when the view asks
// for it. The result is replaced whole by SetResult (on the UI thread) when a
// load finishes, and dropped by Clear when a new load starts.

#include <QAbstractTableModel>
#include <QIcon>

#include <memory>
#include <string>

#include "library/version_layout.h"
#include "platform/db/db_result.h"

namespace lyricade {

class LibraryListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int kColumnCount = 7;
  static constexpr int kLocationColumn = 5;
  static constexpr int kRefColumn = 6;
  // Column headers; the widths a new list starts with are the designed
  // columns' (common/designed_columns.h: Comment and Ref are hidden by their
  // widths until the host widens them).
  static const char* const kHeaders[kColumnCount];

  explicit LibraryListModel(QObject* parent = nullptr);

  // Shows the rows of `result` (a closed or null result shows none); with
  // a layout, each song once ("Group Versions").
  void SetResult(std::shared_ptr<DbResult> result, std::shared_ptr<const VersionLayout> layout = nullptr);
  // No rows until the next result arrives.
  void Clear();
  const std::shared_ptr<DbResult>& Result() const { return result_; }
  long RowCount() const { return rowCount_; }

  // The text of one cell: empty outside the result or for a null field.
  // Location gets "*" when no file is at the path and the path is not a
  // "http://" address.
  std::string CellText(long row, int column) const;
  // The row's song is missing: its location cell ends with "*".
  bool RowMissing(long row) const;
  // The fields a double-click needs.
  long ItemNumber(long row) const;
  std::string SongPath(long row) const;

  // With "Group Versions": a song row's versions ("3 versions"; 0 for a
  // row of another version, and without a layout), and opening or closing
  // a song to show its other versions beneath it. False when the row is
  // not a song of several versions.
  size_t VersionCount(long row) const;
  bool ToggleVersions(long row);
  bool Grouped() const { return layout_ != nullptr; }

  void SetSongIcon(const QIcon& icon) { songIcon_ = icon; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  bool MoveTo(long row) const;

  std::shared_ptr<DbResult> result_;
  std::shared_ptr<VersionLayout> layout_;  // this model's own copy: it opens and closes songs
  long rowCount_ = 0;
  // Field positions of the result for columns 0..6.
  int fields_[kColumnCount] = {-1, -1, -1, -1, -1, -1, -1};
  QIcon songIcon_;
};

}  // namespace lyricade
