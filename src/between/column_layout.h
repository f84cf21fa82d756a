#pragma once
// The designed columns of the main window's three lists, and the stored
// layout of the two whose columns the host may rearrange for good (the
// playlist and the library): for each display position the designed index
// of the column shown there, and each column's width by designed index.
// "colorder.cfg" holds them in four lines: playlist order, library order,
// playlist widths, library widths.
//
// A damaged file never scrambles or hides columns: numbers that cannot be
// read come from the designed state, and an order that is not a
// permutation of the list's columns gives way to the designed order.

#include <string>
#include <vector>

#include "common/designed_columns.h"

namespace lyricade {

struct ListColumns {
  std::vector<int> Order;   // display position -> designed index
  std::vector<int> Widths;  // by designed index

  // Identity order and designed widths.
  static ListColumns Designed(ColumnList list);
  bool operator==(const ListColumns&) const = default;
};

// Whether `order` holds each of 0..count-1 exactly once.
bool IsColumnPermutation(const std::vector<int>& order, int count);

struct ColumnLayout {
  static constexpr const char* kFileName = "colorder.cfg";

  ListColumns Playlist = ListColumns::Designed(ColumnList::Playlist);
  ListColumns Library = ListColumns::Designed(ColumnList::Library);

  // Reads the file over the designed state. False when there is no file or
  // it cannot be read (the designed state stays).
  bool Load(const std::string& file);
  // False (logged) when the file cannot be written.
  bool Save(const std::string& file) const;
  bool operator==(const ColumnLayout&) const = default;
};

}  // namespace lyricade
