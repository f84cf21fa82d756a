#pragma once
// The designed columns of the main window's three lists: one table for the
// lists' models, their views and the stored column layout, so a width the
// designer changes changes everywhere.

#include <vector>

namespace lyricade {

struct DesignedColumn {
  const char* Title;
  int Width;  // pixels; 0 hides the column
};

enum class ColumnList { Playlist, Library, Singers };

// The designed columns of a list, in designed order.
const std::vector<DesignedColumn>& DesignedColumns(ColumnList list);

}  // namespace lyricade
