#pragma once
// The Singer History window's song list: the rows of one singer as read from
// History, with the columns "Key", "MX", "Song Name", "Artist", "ID",
// "Comment" (hidden), "Count", "Location", "Ref". A row whose location is not
// an existing file is drawn in red.

#include <QAbstractTableModel>

#include <string>
#include <vector>

#include "singers/singer_history.h"

namespace lyricade {

class HistorySongModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int kColumnCount = 9;
  static const char* const kHeaders[kColumnCount];
  static const int kWidths[kColumnCount];

  explicit HistorySongModel(QObject* parent = nullptr);

  void SetRows(std::vector<HistoryRow> rows);
  void Clear() { SetRows({}); }
  const std::vector<HistoryRow>& Rows() const { return rows_; }

  std::string CellText(int row, int column) const;
  bool RowIsRed(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  std::vector<HistoryRow> rows_;
  // Whether each row's file is missing, found once when the rows arrive.
  std::vector<bool> missing_;
};

}  // namespace lyricade
