#include "common/designed_columns.h"

namespace lyricade {
namespace {

const std::vector<DesignedColumn> kPlaylist = {
    {"#", 35},      {"Key", 45},    {"MX", 35},   {"Song Name", 300}, {"Artist", 200},
    {"ID", 120},    {"Comment", 0}, {"Year", 50}, {"Location", 120},  {"Ref", 1}};
const std::vector<DesignedColumn> kLibrary = {{"Song Name", 300}, {"Artist", 200}, {"ID", 120},
                                              {"Comment", 0},     {"Year", 50},    {"Location", 120},
                                              {"Ref", 1}};
const std::vector<DesignedColumn> kSingers = {{"#", 50}, {"Songs", 35}, {"Singer Name", 150}, {"Wait", 60}};

}  // namespace

const std::vector<DesignedColumn>& DesignedColumns(ColumnList list) {
  switch (list) {
    case ColumnList::Playlist: return kPlaylist;
    case ColumnList::Library: return kLibrary;
    case ColumnList::Singers: break;
  }
  return kSingers;
}

}  // namespace lyricade
