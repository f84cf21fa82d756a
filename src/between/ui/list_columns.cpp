#include "between/ui/list_columns.h"

#include <QFont>
#include <QHeaderView>
#include <QTreeView>

#include "between/between_log.h"
#include "platform/prompts/prompts.h"

namespace lyricade {

void SetUpListView(QTreeView* view, ColumnList list) {
  if (!view) return;
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setAllColumnsShowFocus(true);
  QHeaderView* header = view->header();
  header->setSectionsMovable(true);
  header->setMinimumSectionSize(0);
  header->setStretchLastSection(false);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(15);
  font.setWeight(QFont::Bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  view->setFont(font);
  ApplyColumns(view, ListColumns::Designed(list));
}

void ApplyColumns(QTreeView* view, const ListColumns& columns) {
  if (!view) return;
  QHeaderView* header = view->header();
  const int count = header->count();
  if (IsColumnPermutation(columns.Order, count)) {
    for (int position = 0; position < count; ++position)
      header->moveSection(header->visualIndex(columns.Order[static_cast<size_t>(position)]), position);
  } else {
    qCWarning(lcBetween) << "a column order of" << columns.Order.size() << "entries does not fit a list of"
                         << count << "columns";
  }
  for (int column = 0; column < count && column < static_cast<int>(columns.Widths.size()); ++column)
    header->resizeSection(column, columns.Widths[static_cast<size_t>(column)]);
  view->viewport()->update();
}

ListColumns ReadColumns(const QTreeView* view) {
  ListColumns columns;
  if (!view) return columns;
  const QHeaderView* header = view->header();
  for (int position = 0; position < header->count(); ++position)
    columns.Order.push_back(header->logicalIndex(position));
  for (int column = 0; column < header->count(); ++column)
    columns.Widths.push_back(header->sectionSize(column));
  return columns;
}

ListColumnsKeeper::ListColumnsKeeper(QTreeView* library, QTreeView* singers, QTreeView* playlist)
    : library_(library), singers_(singers), playlist_(playlist) {
  SetUpListView(library_, ColumnList::Library);
  SetUpListView(singers_, ColumnList::Singers);
  SetUpListView(playlist_, ColumnList::Playlist);
}

void ListColumnsKeeper::Restore(const std::string& file) {
  ColumnLayout layout;
  if (!layout.Load(file)) return;
  ApplyColumns(playlist_, layout.Playlist);
  ApplyColumns(library_, layout.Library);
}

ColumnLayout ListColumnsKeeper::Current() const {
  ColumnLayout layout;
  if (playlist_) layout.Playlist = ReadColumns(playlist_);
  if (library_) layout.Library = ReadColumns(library_);
  return layout;
}

bool ListColumnsKeeper::Save(const std::string& file) const { return Current().Save(file); }

bool ListColumnsKeeper::ResetAll(Prompts& prompts) {
  if (prompts.Message(kResetCaption, kResetQuestion, PromptButtons::YesNo, PromptIcon::Question) ==
      PromptAnswer::No)
    return false;
  ApplyColumns(playlist_, ListColumns::Designed(ColumnList::Playlist));
  ApplyColumns(library_, ListColumns::Designed(ColumnList::Library));
  return true;
}

}  // namespace lyricade
