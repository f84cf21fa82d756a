#include "library/database_seed.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/text_file.h"
#include "library/library_log.h"
#include "platform/db/db_connection.h"
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
  if (fs::exists(path, error)) {
    qCWarning(lcLibrary, "not seeding %s: the file exists already", path.c_str());
    return false;
  }
  const std::string building = path + ".new";
  fs::remove(building, error);
  bool ok = false;
  {
    DbConnection db;
    ok = db.Create(building) && db.BeginTransaction() && db.Execute(schemaSql) &&
         db.CommitTransaction();
  }
  if (ok && std::rename(building.c_str(), path.c_str()) != 0) {
    qCWarning(lcLibrary, "cannot put the new database %s in place: %s", path.c_str(),
              std::strerror(errno));
    ok = false;
  }
  if (ok) SyncFolderOf(path);
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
    if (!ReadWholeFile(program + schemaFile, schema)) {
      qCWarning(lcLibrary, "cannot read the schema %s", (program + schemaFile).c_str());
      all = false;
    } else if (!CreateDatabaseFromSchema(target, schema)) {
      all = false;
    }
  }
  return all;
}

}  // namespace lyricade
