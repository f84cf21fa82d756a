#include "library/library_list_view.h"

#include <QHeaderView>
#include <QPalette>
#include <QStyle>

#include "common/designed_columns.h"
#include "library/library_list_controller.h"
#include "library/library_list_model.h"

namespace lyricade {

LibraryListView::LibraryListView(LibraryListModel& model, LibraryListController& controller,
                                 QWidget* parent)
    : QTreeView(parent), model_(model) {
  setModel(&model);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  // Every row has the same height, so the view never measures rows it does
  // not show: a 500,000-row list costs the same as a short one.
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setIconSize(QSize(16, 16));
  model.SetSongIcon(style()->standardIcon(QStyle::SP_MediaVolume));

  QHeaderView* header = this->header();
  header->setSectionsMovable(true);
  header->setSectionsClickable(true);
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(0);
  ResetColumnWidths();

  connect(header, &QHeaderView::sectionClicked, &controller,
          [&controller](int logicalIndex) { controller.HeaderClicked(logicalIndex); });
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!index.isValid()) return;
    emit songActivated(model_.ItemNumber(index.row()),
                       QString::fromStdString(model_.SongPath(index.row())));
  });
}

void LibraryListView::ResetColumnWidths() {
  const std::vector<DesignedColumn>& designed = DesignedColumns(ColumnList::Library);
  for (int c = 0; c < LibraryListModel::kColumnCount && c < static_cast<int>(designed.size()); ++c)
    setColumnWidth(c, designed[static_cast<size_t>(c)].Width);
}

}  // namespace lyricade
