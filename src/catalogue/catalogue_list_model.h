#pragma once
// The catalogue list as a Qt model: a window onto the current result of
// table Songs. It holds no row data; each cell is read from the result when
// the view asks for it. The "Purchased" answer of each row is worked out the
// first time the row is painted and kept until the next result.

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/purchased_files.h"
#include "platform/db/db_result.h"
#include "store/store.h"

namespace lyricade {

class CatalogueListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  enum Column { Title, Artist, Id, Type, Manufacturer, Price, Genre, Date, Purchased, Path };
  static constexpr int kColumnCount = 10;
  static const char* const kHeaders[kColumnCount];
  static const int kDefaultWidths[kColumnCount];

  explicit CatalogueListModel(QObject* parent = nullptr);

  // The output folder's file of a song (the store's rule).
  void SetTargetPath(std::function<std::string(const CatalogueSong&)> targetPath) {
    targetPath_ = std::move(targetPath);
  }
  void SetStreamingLabels(std::vector<std::string> labels) { labels_ = std::move(labels); }
  const std::vector<std::string>& StreamingLabels() const { return labels_; }

  // Shows the rows of `result` (a closed or null result shows none).
  void SetResult(std::shared_ptr<DbResult> result);
  void Clear();
  long RowCount() const { return rowCount_; }

  std::string CellText(long row, int column);
  // The row as the store needs it; nullopt outside the list.
  std::optional<CatalogueSong> Song(long row);
  bool RowPurchased(long row);
  bool RowStreaming(long row);
  // The output folder changed or a song arrived: "Purchased" is asked again.
  void RefreshPurchased();
  // How many rows had their "Purchased" worked out since the last result.
  long PurchasedChecks() const { return purchasedChecks_; }
  const PurchasedFiles& Files() const { return files_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  bool MoveTo(long row);
  std::string Field(int column) const;

  std::shared_ptr<DbResult> result_;
  long rowCount_ = 0;
  // Field positions of Trackname, Artist, Code, Comp, Price, Genre,
  // ActivateDate and Path.
  int fields_[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  std::function<std::string(const CatalogueSong&)> targetPath_;
  std::vector<std::string> labels_;
  // Per row: 0 not yet known, 1 "Buy", 2 "Purchased".
  std::vector<uint8_t> purchased_;
  long purchasedChecks_ = 0;
  PurchasedFiles files_;
};

}  // namespace lyricade
