#pragma once
// Whether a downloaded catalogue may replace "songdb.mdb": a hostile file
// could make the list's first query run for ever (a recursive view named
// Songs) or run code of its own on every read (triggers). Only the schema
// is read, never the rows, with SQLite's defensive settings on.

#include <atomic>
#include <chrono>
#include <string>

namespace lyricade {

// Empty when `path` is an SQLite file whose Songs is a table with every
// column the list reads and which holds no views or triggers; otherwise the
// reason it is refused. The check ends, refusing the file, when `stop` is
// set or `limit` has passed (a schema built to keep SQLite busy).
std::string CatalogueFileProblem(const std::string& path, const std::atomic<bool>* stop = nullptr,
                                 std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace lyricade
