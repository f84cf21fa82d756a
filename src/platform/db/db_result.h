#pragma once
// A static, read-only result opened from statement text on a connection of
// its own: the number of rows is known once it is open, any row r can be
// made current without walking from the first, and fields are read by
// position or by name. A null field reads as nullopt, an empty text as "".
//
// How rows are kept. When every column of the statement is a plain column of
// one table that appears once in it, and the table's integer key is among
// them (the library's "SELECT * FROM Items ..." statements), the result
// keeps only the key of each row, in order, and reads a row's fields from
// the table when the row is made current. The scan that finds the keys asks
// SQLite for the key column alone, so sorting does not carry whole rows.
// Every other statement has its rows copied into one packed block.
//
// No read transaction stays open between calls, so writers on other
// connections are never held up by an open result. A keyed row deleted after
// the open reads as all nulls.
//
// One thread at a time: a result may be opened on a worker and handed over.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/db_connection.h"

namespace lyricade {

class DbResult {
public:
  DbResult() = default;
  DbResult(const DbResult&) = delete;
  DbResult& operator=(const DbResult&) = delete;

  // Opens the statement on a new read-only connection to the database file.
  // False when the file does not open or the statement is refused; the
  // result is then closed and empty.
  bool Open(const std::string& databasePath, const std::string& sql);
  // Opens a result whose rows are the given keys, in that order, of the one
  // table `sql` reads (as "SELECT * FROM Items" does): the rows an index has
  // found already. False when the statement does not read a keyed table.
  bool OpenKeys(const std::string& databasePath, const std::string& sql,
                std::vector<int64_t> keys);
  void Close();
  bool IsOpen() const { return open_; }
  std::string LastError() const { return error_; }

  long RecordCount() const { return static_cast<long>(rowCount_); }
  // Makes row r (0-based) current. False, and at its end, when r is outside
  // the result or the row cannot be read.
  bool MoveTo(long row);
  bool MoveFirst() { return MoveTo(0); }
  bool MoveNext() { return MoveTo(current_ + 1); }
  long CurrentRow() const { return current_; }
  // True when no row is current: an empty result, or moved past the end.
  bool AtEnd() const { return !open_ || current_ < 0 || current_ >= static_cast<long>(rowCount_); }

  int FieldCount() const { return static_cast<int>(names_.size()); }
  const std::string& FieldName(int field) const { return names_[static_cast<size_t>(field)]; }
  // The field's position, compared without regard to ASCII case; -1 if none.
  int FieldIndex(std::string_view name) const;

  // The current row's fields. Numbers read as their decimal text; nullopt for
  // null, for a field that does not exist, or when no row is current.
  std::optional<std::string> Text(int field) const;
  std::optional<std::string> Text(std::string_view name) const { return Text(FieldIndex(name)); }
  // Numbers; texts are converted the way SQLite converts them.
  std::optional<int64_t> Integer(int field) const;
  std::optional<int64_t> Integer(std::string_view name) const { return Integer(FieldIndex(name)); }
  std::optional<double> Real(int field) const;
  std::optional<double> Real(std::string_view name) const { return Real(FieldIndex(name)); }
  bool IsNull(int field) const;

  // Whether the rows are kept as keys, and the keys in row order (empty for
  // a copied result); for checks.
  bool IsKeyed() const { return keyed_; }
  const std::vector<int64_t>& Keys() const { return keys_; }

private:
  enum class Kind : uint8_t { Null, Integer, Real, Text };
  // One field: numbers inline, texts as a span of a byte block.
  struct Value {
    Kind Type = Kind::Null;
    int64_t Number = 0;
    double Decimal = 0;
    uint32_t Offset = 0;
    uint32_t Size = 0;
  };

  bool OpenRows(const std::string& databasePath, const std::string& sql);
  void SetMemoryMap(bool on);
  bool PlanKeyed(sqlite3_stmt* statement, const std::string& sql);
  bool ScanKeys(const std::string& sql);
  bool CopyRows(sqlite3_stmt* statement);
  static void ReadValue(sqlite3_stmt* statement, int column, std::string& block, Value& out);
  const Value* CurrentValue(int field) const;
  std::string_view TextOf(const Value& value, const std::string& block) const;

  DbConnection connection_;
  bool open_ = false;
  bool keyed_ = false;
  std::string error_;
  std::vector<std::string> names_;
  size_t rowCount_ = 0;
  long current_ = -1;

  // Keyed rows: the key of each row, the statement that reads one row by
  // key, and the current row's fields copied out of it.
  std::string keyColumn_;
  std::vector<int64_t> keys_;
  StatementHandle rowStatement_;
  std::vector<Value> rowValues_;
  std::string rowBlock_;
  bool rowMissing_ = false;

  // Copied rows: FieldCount() values a row, texts in one block.
  std::vector<Value> copiedValues_;
  std::string copiedBlock_;
};

}  // namespace lyricade
