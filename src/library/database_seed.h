#pragma once
// The prepared, empty databases of a new data folder. The program itself
// only ever opens existing files; at first run, right after the data folder
// has been made (PrepareDataFolder reported Created), the start-up calls
// SeedDatabaseFiles so the folder holds "collections.mdb" and "songdb.mdb"
// with their tables. A data folder that already existed is never seeded: a
// missing library there is reported as a database failure.

#include <string>

namespace lyricade {

// The schema files, in the program folder's "schema/" folder.
inline constexpr const char* kLibrarySchemaFile = "schema/collections.sql";
inline constexpr const char* kCatalogueSchemaFile = "schema/songdb.sql";

// Creates each of the two database files that is missing from `dataFolder`
// from its schema file under `programFolder`. Each file is built under a
// temporary name and renamed into place, so an interrupted seeding never
// leaves a half-made database. Existing files are left alone. True when both
// files exist afterwards. Shows nothing: each failure is logged, and the
// start-up acts on the flag.
bool SeedDatabaseFiles(const std::string& dataFolder, const std::string& programFolder);

// Builds one database file from schema text (same temporary-then-rename
// steps). False, with nothing left behind, on any error or when the file
// already exists.
bool CreateDatabaseFromSchema(const std::string& path, const std::string& schemaSql);

}  // namespace lyricade
