#include "library/database_seed.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/db/sqlite_handles.h"
#include "platform/paths/paths.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream content;
  content << in.rdbuf();
  out = content.str();
  return !in.bad();
}

}  // namespace

bool CreateDatabaseFromSchema(const std::string& path, const std::string& schemaSql) {
  std::error_code error;
  if (fs::exists(path, error)) return false;
  const std::string building = path + ".new";
  fs::remove(building, error);
  bool ok = false;
  {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(building.c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqliteHandle db(raw);
    ok = rc == SQLITE_OK &&
         sqlite3_exec(raw, "BEGIN;", nullptr, nullptr, nullptr) == SQLITE_OK &&
         sqlite3_exec(raw, schemaSql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK &&
         sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  if (ok) ok = std::rename(building.c_str(), path.c_str()) == 0;
  if (!ok) {
    fs::remove(building, error);
    fs::remove(building + "-journal", error);
  }
  return ok;
}

bool SeedDatabaseFiles(const std::string& dataFolder, const std::string& programFolder) {
  const std::string data = WithTrailingSlash(dataFolder);
  const std::string program = WithTrailingSlash(programFolder);
  const std::pair<const char*, const char*> files[] = {
      {"collections.mdb", kLibrarySchemaFile},
      {"songdb.mdb", kCatalogueSchemaFile},
  };
  bool all = true;
  for (const auto& [name, schemaFile] : files) {
    const std::string target = data + name;
    std::error_code error;
    if (fs::exists(target, error)) continue;
    std::string schema;
    if (!ReadWholeFile(program + schemaFile, schema) || !CreateDatabaseFromSchema(target, schema))
      all = false;
  }
  return all;
}

}  // namespace lyricade
