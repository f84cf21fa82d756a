#include "platform/db/db_result.h"

#include <strings.h>

#include <cstdlib>
#include <memory>

#include "platform/db/db_log.h"

namespace lyricade {
namespace {

std::string QuoteIdentifier(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The statement text without trailing blanks and semicolons, so it can sit
// inside a subquery.
std::string WithoutTerminator(const std::string& sql) {
  size_t end = sql.size();
  while (end > 0 && (sql[end - 1] == ';' || sql[end - 1] == ' ' || sql[end - 1] == '\t' ||
                     sql[end - 1] == '\r' || sql[end - 1] == '\n'))
    --end;
  return sql.substr(0, end);
}

StatementHandle Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK)
    return nullptr;
  return StatementHandle(raw);
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// True when the query plan reads exactly one table once, with no subquery,
// compound or materialised view, so every row of the result is one row of
// that table.
bool ReadsOneTableOnce(sqlite3* db, const std::string& sql) {
  StatementHandle plan = Prepare(db, "EXPLAIN QUERY PLAN " + sql);
  if (!plan) return false;
  int reads = 0;
  int rc;
  while ((rc = sqlite3_step(plan.get())) == SQLITE_ROW) {
    const std::string detail = ColumnText(plan.get(), 3);
    if (detail.rfind("SCAN ", 0) == 0 || detail.rfind("SEARCH ", 0) == 0) {
      ++reads;
    } else if (detail.rfind("USE TEMP B-TREE", 0) != 0) {
      return false;  // subqueries, co-routines, compounds, multi-index ORs
    }
  }
  return rc == SQLITE_DONE && reads == 1;
}

}  // namespace

bool DbResult::Open(const std::string& databasePath, const std::string& sql) {
  if (OpenRows(databasePath, sql)) return true;
  qCWarning(lcPlatformDb, "cannot open a result on %s: %s (statement: %s)", databasePath.c_str(),
            error_.c_str(), sql.c_str());
  return false;
}

bool DbResult::OpenRows(const std::string& databasePath, const std::string& sql) {
  Close();
  if (!connection_.Open(databasePath, DbAccess::ReadOnly)) {
    error_ = connection_.LastError();
    return false;
  }
  sqlite3_stmt* raw = nullptr;
  const int prepared = sqlite3_prepare_v2(connection_.Handle(), sql.c_str(),
                                          static_cast<int>(sql.size()), &raw, nullptr);
  if (prepared != SQLITE_OK || raw == nullptr) {
    const std::string why =
        prepared == SQLITE_OK ? std::string("empty statement") : connection_.LastError();
    sqlite3_finalize(raw);
    Close();
    error_ = why;
    return false;
  }
  StatementHandle statement(raw);
  const int columns = sqlite3_column_count(raw);
  if (columns == 0) {
    Close();
    error_ = "not a query";
    return false;
  }
  for (int c = 0; c < columns; ++c) {
    const char* name = sqlite3_column_name(raw, c);
    names_.emplace_back(name ? name : "");
  }

  // The scan reads the file through a memory map: a page costs no read call
  // and no copy, which halves the time of a LIKE search over every row. The
  // map is dropped afterwards, so an open result keeps no file pages mapped
  // (the kernel maps neighbouring pages on each fault, and a whole 500,000
  // song file would otherwise stay resident with the list).
  SetMemoryMap(true);
  const bool ok = PlanKeyed(raw, sql) ? ScanKeys(sql) : CopyRows(raw);
  statement.reset();
  SetMemoryMap(false);
  if (!ok) {
    const std::string why = connection_.LastError();
    Close();
    error_ = why;
    return false;
  }
  open_ = true;
  current_ = rowCount_ > 0 ? 0 : -1;
  if (current_ == 0) MoveTo(0);
  return true;
}

bool DbResult::OpenKeys(const std::string& databasePath, const std::string& sql,
                        std::vector<int64_t> keys) {
  Close();
  if (!connection_.Open(databasePath, DbAccess::ReadOnly)) {
    error_ = connection_.LastError();
    qCWarning(lcPlatformDb, "cannot open a result on %s: %s", databasePath.c_str(),
              error_.c_str());
    return false;
  }
  StatementHandle statement = Prepare(connection_.Handle(), sql);
  if (statement) {
    for (int c = 0; c < sqlite3_column_count(statement.get()); ++c) {
      const char* name = sqlite3_column_name(statement.get(), c);
      names_.emplace_back(name ? name : "");
    }
  }
  if (!statement || !PlanKeyed(statement.get(), sql)) {
    const std::string why = statement ? std::string("not one keyed table") : connection_.LastError();
    Close();
    error_ = why;
    qCWarning(lcPlatformDb, "cannot open a result of keys on %s: %s (statement: %s)",
              databasePath.c_str(), error_.c_str(), sql.c_str());
    return false;
  }
  keys_ = std::move(keys);
  rowCount_ = keys_.size();
  open_ = true;
  current_ = rowCount_ > 0 ? 0 : -1;
  if (current_ == 0) MoveTo(0);
  return true;
}

void DbResult::SetMemoryMap(bool on) {
  const char* sql = on ? "PRAGMA mmap_size = 1073741824;" : "PRAGMA mmap_size = 0;";
  sqlite3_exec(connection_.Handle(), sql, nullptr, nullptr, nullptr);
}

void DbResult::Close() {
  rowStatement_.reset();
  connection_.Close();
  open_ = false;
  keyed_ = false;
  error_.clear();
  names_.clear();
  rowCount_ = 0;
  current_ = -1;
  keyColumn_.clear();
  keys_ = {};
  rowValues_.clear();
  rowBlock_.clear();
  rowMissing_ = false;
  copiedValues_ = {};
  copiedBlock_ = {};
}

bool DbResult::PlanKeyed(sqlite3_stmt* statement, const std::string& sql) {
  const int columns = sqlite3_column_count(statement);
  std::string database;
  std::string table;
  std::vector<std::string> origins;
  for (int c = 0; c < columns; ++c) {
    const char* db = sqlite3_column_database_name(statement, c);
    const char* tb = sqlite3_column_table_name(statement, c);
    const char* origin = sqlite3_column_origin_name(statement, c);
    if (!db || !tb || !origin) return false;  // an expression, not a column
    if (c == 0) {
      database = db;
      table = tb;
    } else if (database != db || table != tb) {
      return false;
    }
    for (int other = 0; other < c; ++other) {
      if (SameName(origins[static_cast<size_t>(other)], origin) ||
          SameName(names_[static_cast<size_t>(other)], names_[static_cast<size_t>(c)]))
        return false;
    }
    origins.emplace_back(origin);
  }

  // The table's key must be a single integer column.
  StatementHandle info = Prepare(connection_.Handle(), "PRAGMA " + QuoteIdentifier(database) +
                                                           ".table_info(" +
                                                           QuoteIdentifier(table) + ");");
  if (!info) return false;
  std::string key;
  int keyColumns = 0;
  bool integerKey = false;
  while (sqlite3_step(info.get()) == SQLITE_ROW) {
    if (sqlite3_column_int(info.get(), 5) > 0) {
      ++keyColumns;
      key = ColumnText(info.get(), 1);
      integerKey = SameName(ColumnText(info.get(), 2), "INTEGER");
    }
  }
  if (keyColumns != 1 || !integerKey) return false;
  int keyIndex = -1;
  for (int c = 0; c < columns; ++c)
    if (SameName(origins[static_cast<size_t>(c)], key)) keyIndex = c;
  if (keyIndex < 0) return false;
  if (!ReadsOneTableOnce(connection_.Handle(), sql)) return false;

  std::string rowSql = "SELECT ";
  for (int c = 0; c < columns; ++c) {
    if (c > 0) rowSql += ", ";
    rowSql += QuoteIdentifier(origins[static_cast<size_t>(c)]);
  }
  rowSql += " FROM " + QuoteIdentifier(database) + "." + QuoteIdentifier(table) + " WHERE " +
            QuoteIdentifier(key) + " = ?1;";
  rowStatement_ = Prepare(connection_.Handle(), rowSql);
  if (!rowStatement_) return false;
  keyColumn_ = names_[static_cast<size_t>(keyIndex)];
  keyed_ = true;
  return true;
}

bool DbResult::ScanKeys(const std::string& sql) {
  // Asking for the key alone lets SQLite sort (key, row number) pairs, or
  // walk a covering index, instead of whole rows.
  StatementHandle scan = Prepare(
      connection_.Handle(),
      "SELECT " + QuoteIdentifier(keyColumn_) + " FROM (" + WithoutTerminator(sql) + ");");
  int keyIndex = 0;
  if (!scan) {
    scan = Prepare(connection_.Handle(), sql);
    if (!scan) return false;
    keyIndex = FieldIndex(keyColumn_);
  }
  int rc;
  while ((rc = sqlite3_step(scan.get())) == SQLITE_ROW)
    keys_.push_back(sqlite3_column_int64(scan.get(), keyIndex));
  if (rc != SQLITE_DONE) return false;
  rowCount_ = keys_.size();
  return true;
}

bool DbResult::CopyRows(sqlite3_stmt* statement) {
  const int columns = sqlite3_column_count(statement);
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) {
      Value value;
      ReadValue(statement, c, copiedBlock_, value);
      copiedValues_.push_back(value);
    }
    ++rowCount_;
  }
  return rc == SQLITE_DONE;
}

void DbResult::ReadValue(sqlite3_stmt* statement, int column, std::string& block, Value& out) {
  out = Value{};
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
      return;
    case SQLITE_INTEGER:
      out.Type = Kind::Integer;
      out.Number = sqlite3_column_int64(statement, column);
      return;
    case SQLITE_FLOAT:
      out.Type = Kind::Real;
      out.Decimal = sqlite3_column_double(statement, column);
      return;
    default: {
      const unsigned char* text = sqlite3_column_text(statement, column);
      const int size = sqlite3_column_bytes(statement, column);
      out.Type = Kind::Text;
      out.Offset = static_cast<uint32_t>(block.size());
      out.Size = static_cast<uint32_t>(size);
      if (text) block.append(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
      return;
    }
  }
}

bool DbResult::MoveTo(long row) {
  if (!open_ || row < 0 || row >= static_cast<long>(rowCount_)) {
    current_ = static_cast<long>(rowCount_);
    return false;
  }
  if (!keyed_ || (row == current_ && !rowValues_.empty())) {
    current_ = row;
    return true;
  }
  current_ = row;
  sqlite3_stmt* statement = rowStatement_.get();
  sqlite3_bind_int64(statement, 1, keys_[static_cast<size_t>(row)]);
  const int rc = sqlite3_step(statement);
  const int columns = FieldCount();
  rowValues_.assign(static_cast<size_t>(columns), Value{});
  rowBlock_.clear();
  rowMissing_ = rc != SQLITE_ROW;
  if (!rowMissing_) {
    for (int c = 0; c < columns; ++c)
      ReadValue(statement, c, rowBlock_, rowValues_[static_cast<size_t>(c)]);
  }
  if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    qCWarning(lcPlatformDb, "cannot read row %ld of a result on %s: %s", row,
              connection_.Path().c_str(), connection_.LastError().c_str());
  // Resetting ends the read, so no lock outlives this call.
  sqlite3_reset(statement);
  return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

int DbResult::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (SameName(names_[i], name)) return static_cast<int>(i);
  return -1;
}

const DbResult::Value* DbResult::CurrentValue(int field) const {
  if (AtEnd() || field < 0 || field >= FieldCount()) return nullptr;
  if (keyed_) {
    if (rowMissing_ || rowValues_.size() != names_.size()) return nullptr;
    return &rowValues_[static_cast<size_t>(field)];
  }
  return &copiedValues_[static_cast<size_t>(current_) * names_.size() + static_cast<size_t>(field)];
}

std::string_view DbResult::TextOf(const Value& value, const std::string& block) const {
  return std::string_view(block).substr(value.Offset, value.Size);
}

std::optional<std::string> DbResult::Text(int field) const {
  const Value* value = CurrentValue(field);
  if (!value) return std::nullopt;
  switch (value->Type) {
    case Kind::Null:
      return std::nullopt;
    case Kind::Integer:
      return std::to_string(value->Number);
    case Kind::Real: {
      std::unique_ptr<char, decltype(&sqlite3_free)> text(sqlite3_mprintf("%!.15g", value->Decimal),
                                                          sqlite3_free);
      return text ? std::string(text.get()) : std::string();
    }
    case Kind::Text:
      return std::string(TextOf(*value, keyed_ ? rowBlock_ : copiedBlock_));
  }
  return std::nullopt;
}

std::optional<int64_t> DbResult::Integer(int field) const {
  const Value* value = CurrentValue(field);
  if (!value) return std::nullopt;
  switch (value->Type) {
    case Kind::Null:
      return std::nullopt;
    case Kind::Integer:
      return value->Number;
    case Kind::Real:
      return static_cast<int64_t>(value->Decimal);
    case Kind::Text: {
      const std::string text(TextOf(*value, keyed_ ? rowBlock_ : copiedBlock_));
      return std::strtoll(text.c_str(), nullptr, 10);
    }
  }
  return std::nullopt;
}

std::optional<double> DbResult::Real(int field) const {
  const Value* value = CurrentValue(field);
  if (!value) return std::nullopt;
  switch (value->Type) {
    case Kind::Null:
      return std::nullopt;
    case Kind::Integer:
      return static_cast<double>(value->Number);
    case Kind::Real:
      return value->Decimal;
    case Kind::Text: {
      const std::string text(TextOf(*value, keyed_ ? rowBlock_ : copiedBlock_));
      return std::strtod(text.c_str(), nullptr);
    }
  }
  return std::nullopt;
}

bool DbResult::IsNull(int field) const {
  const Value* value = CurrentValue(field);
  return !value || value->Type == Kind::Null;
}

}  // namespace lyricade
