#pragma once
// The library list as the main window embeds it: a report view with full-row
// selection, several rows selectable, draggable headers, the song icon in
// the first column, and header clicks routed to the controller.

#include <QTreeView>

namespace lyricade {

class LibraryListController;
class LibraryListModel;

class LibraryListView : public QTreeView {
  Q_OBJECT
public:
  LibraryListView(LibraryListModel& model, LibraryListController& controller,
                  QWidget* parent = nullptr);

  // Back to the columns' default widths.
  void ResetColumnWidths();

signals:
  // A row was double-clicked: the song is to be queued for a singer.
  void songActivated(long itemNumber, const QString& songPath);

private:
  LibraryListModel& model_;
};

}  // namespace lyricade
