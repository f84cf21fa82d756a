#pragma once
// The rotation's two lists as Qt models that ask the rotation for every
// cell: the singer list ("#", "Songs", "Singer Name", "Wait"; the current
// singer in red, a singer sitting out in grey) and the selected singer's playlist (the current song of the current
// singer in red). Refresh() after every change of the rotation.

#include <QAbstractTableModel>

#include <string>
#include <vector>

#include "singers/wait_estimate.h"

namespace lyricade {

class SingerRotation;

// The playlist's title: "Singer's Playlist (for %s)", or "Singer's Playlist"
// when no singer is selected.
std::string PlaylistTitle(const SingerRotation& rotation);

class SingerListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int kColumnCount = 4;
  static const char* const kHeaders[kColumnCount];

  explicit SingerListModel(const SingerRotation& rotation, QObject* parent = nullptr);

  std::string CellText(int row, int column) const;
  bool RowIsRed(int row) const;
  bool RowIsGrey(int row) const;
  // The estimates the "Wait" column shows, one per singer (set before
  // Refresh).
  void SetWaits(std::vector<SingerWait> waits) { waits_ = std::move(waits); }
  void Refresh();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  const SingerRotation& rotation_;
  std::vector<SingerWait> waits_;
  int rows_ = 0;
};

class PlaylistModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int kColumnCount = 10;
  static const char* const kHeaders[kColumnCount];

  explicit PlaylistModel(const SingerRotation& rotation, QObject* parent = nullptr);

  // The singer whose playlist is shown (-1: none).
  int ShownSinger() const { return shownSinger_; }
  std::string CellText(int row, int column) const;
  bool RowIsRed(int row) const;
  // A new singer or a new length starts the view again from its first row.
  void Refresh();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  int SingerRows() const;

  const SingerRotation& rotation_;
  int shownSinger_ = -1;
  int rows_ = 0;
};

}  // namespace lyricade
