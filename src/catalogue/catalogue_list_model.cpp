#include "catalogue/catalogue_list_model.h"

#include <QBrush>
#include <QColor>

#include "catalogue/catalogue_rows.h"
#include "catalogue/catalogue_statements.h"

namespace lyricade {
namespace {

enum FieldSlot { kTrackname, kArtist, kCode, kComp, kPrice, kGenre, kActivateDate, kPath };
constexpr const char* kFieldNames[8] = {"Trackname", "Artist", "Code",         "Comp",
                                        "Price",     "Genre",  "ActivateDate", "Path"};

QColor ToColor(const Rgb& rgb) { return QColor(rgb.Red, rgb.Green, rgb.Blue); }

}  // namespace

const char* const CatalogueListModel::kHeaders[kColumnCount] = {
    "Title", "Artist", "ID", "ST", "Manu.", "Price", "Genre", "Date", "Purchased", "Path"};
const int CatalogueListModel::kDefaultWidths[kColumnCount] = {150, 150, 100, 35, 75,
                                                              65,  140, 65,  70, 0};

CatalogueListModel::CatalogueListModel(QObject* parent)
    : QAbstractTableModel(parent), labels_(DefaultStreamingLabels()) {}

void CatalogueListModel::SetResult(std::shared_ptr<DbResult> result) {
  beginResetModel();
  result_ = std::move(result);
  rowCount_ = 0;
  for (int& field : fields_) field = -1;
  if (result_ && result_->IsOpen()) {
    if (result_->MoveFirst()) rowCount_ = result_->RecordCount();
    for (int f = 0; f < 8; ++f) fields_[f] = result_->FieldIndex(kFieldNames[f]);
  }
  purchased_.assign(static_cast<size_t>(rowCount_), 0);
  purchasedChecks_ = 0;
  files_.Reset();
  endResetModel();
}

void CatalogueListModel::Clear() { SetResult(nullptr); }

bool CatalogueListModel::MoveTo(long row) {
  // Requests may name rows of a list that has since been replaced: only rows
  // of the current result are read.
  if (!result_ || row < 0 || row >= rowCount_) return false;
  return result_->MoveTo(row);
}

std::string CatalogueListModel::Field(int slot) const {
  return result_->Text(fields_[slot]).value_or(std::string());
}

std::string CatalogueListModel::CellText(long row, int column) {
  if (column < 0 || column >= kColumnCount || !MoveTo(row)) return {};
  switch (column) {
    case Title: return Field(kTrackname);
    case Artist: return Field(kArtist);
    case Id: return Field(kCode);
    case Type: return IsStreamingLabel(Field(kComp), labels_) ? "S" : "D";
    case Manufacturer: return Field(kComp);
    case Price: return PriceText(result_->Real(fields_[kPrice]));
    case Genre: return Field(kGenre);
    case Date: return Field(kActivateDate);
    case Purchased: return RowPurchased(row) ? "Purchased" : "Buy";
    case Path: return Field(kPath);
    default: return {};
  }
}

std::optional<CatalogueSong> CatalogueListModel::Song(long row) {
  if (!MoveTo(row)) return std::nullopt;
  CatalogueSong song;
  song.Title = Field(kTrackname);
  song.Artist = Field(kArtist);
  song.Code = Field(kCode);
  song.Streaming = IsStreamingLabel(Field(kComp), labels_);
  return song;
}

bool CatalogueListModel::RowPurchased(long row) {
  if (row < 0 || row >= rowCount_) return false;
  uint8_t& known = purchased_[static_cast<size_t>(row)];
  if (known == 0) {
    const std::optional<CatalogueSong> song = Song(row);
    ++purchasedChecks_;
    known = (song && targetPath_ && files_.Contains(targetPath_(*song))) ? 2 : 1;
  }
  return known == 2;
}

bool CatalogueListModel::RowStreaming(long row) {
  return MoveTo(row) && IsStreamingLabel(Field(kComp), labels_);
}

void CatalogueListModel::RefreshPurchased() {
  std::fill(purchased_.begin(), purchased_.end(), 0);
  files_.Reset();
  if (rowCount_ > 0) emit dataChanged(index(0, 0), index(static_cast<int>(rowCount_) - 1, kColumnCount - 1));
}

int CatalogueListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rowCount_);
}

int CatalogueListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant CatalogueListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount_) return {};
  // Reading moves the result's current row and fills the purchased cache:
  // state of the window onto the result, not of the list's contents.
  auto* self = const_cast<CatalogueListModel*>(this);
  const long row = index.row();
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(self->CellText(row, index.column()));
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
      // Asked only while the row is painted, so "Purchased" is worked out
      // only for rows on the screen.
      const bool purchased = self->RowPurchased(row);
      const bool streaming = self->RowStreaming(row);
      const RowColours colours =
          CatalogueRowColours(purchased, streaming, self->CellText(row, Genre));
      if (role == Qt::ForegroundRole) return QBrush(ToColor(colours.Text));
      if (colours.Background) return QBrush(ToColor(*colours.Background));
      return {};
    }
    default:
      return {};
  }
}

QVariant CatalogueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return {};
  return QString::fromLatin1(kHeaders[section]);
}

}  // namespace lyricade
