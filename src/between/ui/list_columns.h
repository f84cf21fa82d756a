#pragma once
// The main window's three lists as the host arranges them: their designed
// columns and look (full-row selection, headers the host can drag, the list
// font), and the playlist's and library's order and widths kept in
// "colorder.cfg": restored at start, saved at close, put back to the
// designed state by "Reset All Columns...". The singer list's columns are
// not kept.

#include <string>

#include "between/column_layout.h"

class QTreeView;

namespace lyricade {

class Prompts;

// The list's look; the model gives the column titles.
void SetUpListView(QTreeView* view, ColumnList list);
// Order (display position -> designed index) and widths onto the view; an
// order of the wrong size or no permutation leaves the order alone.
void ApplyColumns(QTreeView* view, const ListColumns& columns);
ListColumns ReadColumns(const QTreeView* view);

class ListColumnsKeeper {
public:
  static constexpr const char* kResetCaption = "Reset All Columns";
  static constexpr const char* kResetQuestion = "This will reset the column sizes, are you sure?";

  // Sets the three lists up in their designed state. Any view may be null.
  ListColumnsKeeper(QTreeView* library, QTreeView* singers, QTreeView* playlist);

  // The stored layout, when the file exists.
  void Restore(const std::string& file);
  bool Save(const std::string& file) const;
  // Asks first; anything but No resets both kept lists. True when reset.
  bool ResetAll(Prompts& prompts);
  ColumnLayout Current() const;

private:
  QTreeView* library_;
  QTreeView* singers_;
  QTreeView* playlist_;
};

}  // namespace lyricade
