#pragma once
// Whether a downloaded catalogue may replace "songdb.mdb": a hostile file
// could make the list's first query run for ever (a recursive view named
// Songs) or run code of its own on every read (triggers). Only the schema
// is read, never the rows, with SQLite's defensive settings on.

#include <string>

namespace lyricade {

// Empty when `path` is an SQLite file whose Songs is a table with every
// column the list reads and which holds no views or triggers; otherwise the
// reason it is refused.
std::string CatalogueFileProblem(const std::string& path);

}  // namespace lyricade
