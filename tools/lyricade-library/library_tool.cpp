#include "library_tool.h"

#include "loudness_command.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include <unistd.h>

#include <filesystem>

#include "library/library_database.h"
#include "library/library_import.h"
#include "library/library_maintenance.h"
#include "library/library_search.h"
#include "library/search_index.h"
#include "platform/db/db_result.h"
#include "platform/paths/paths.h"
#include "platform/prompts/stream_prompts.h"

namespace lyricade {
namespace {

constexpr const char* kUsage =
    "usage: lyricade-library [--data-dir DIR] COMMAND\n"
    "  import [--format 0|1|2|3] [--ignore-tags] PATH...\n"
    "  search [--on all|title|artist|id|year|comment|location] [--any] [--statement] WORDS...\n"
    "  list [--sort title|artist|id|year|comment|location] [--desc] [--loudness]\n"
    "  loudness [--all|--missing] [PATH...]\n"
    "  remove-bad\n"
    "  compact\n";

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

// The command's own arguments, taken one at a time.
class Arguments {
public:
  explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}
  bool Empty() const { return next_ >= args_.size(); }
  const std::string& Peek() const { return args_[next_]; }
  std::string Take() { return args_[next_++]; }
  std::optional<std::string> TakeValue() {
    if (Empty()) return std::nullopt;
    return Take();
  }

private:
  std::vector<std::string> args_;
  size_t next_ = 0;
};

std::optional<SearchField> FieldNamed(const std::string& name) {
  static const std::map<std::string, SearchField> fields = {
      {"all", SearchField::AllFields}, {"title", SearchField::Title},
      {"artist", SearchField::Artist}, {"id", SearchField::Id},
      {"year", SearchField::Year},     {"comment", SearchField::Comment},
      {"location", SearchField::Location}};
  const auto found = fields.find(name);
  if (found == fields.end()) return std::nullopt;
  return found->second;
}

std::optional<LibrarySortKey> SortKeyNamed(const std::string& name) {
  static const std::map<std::string, LibrarySortKey> keys = {
      {"title", LibrarySortKey::Title},     {"artist", LibrarySortKey::Artist},
      {"id", LibrarySortKey::Id},           {"year", LibrarySortKey::Year},
      {"comment", LibrarySortKey::Comment}, {"location", LibrarySortKey::Location}};
  const auto found = keys.find(name);
  if (found == keys.end()) return std::nullopt;
  return found->second;
}

// One row per line: the fields tab-separated, with tabs and line ends inside
// a field turned into blanks so every row stays one line.
std::string Field(const DbResult& rows, const char* name) {
  std::string text = rows.Text(name).value_or("");
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
                  ' ');
  return text;
}

// Extra columns for a row, from its song path (list --loudness).
using ExtraColumns = std::function<std::string(const std::string& path)>;

int PrintRows(DbResult& rows, std::ostream& out, const ExtraColumns& extra = {});

int PrintRows(const std::string& libraryPath, const std::string& statement, std::ostream& out,
              std::ostream& err, const ExtraColumns& extra = {}) {
  DbResult rows;
  if (!rows.Open(libraryPath, statement)) {
    err << "lyricade-library: the library could not be read: " << rows.LastError() << "\n";
    return kFailed;
  }
  return PrintRows(rows, out, extra);
}

int PrintRows(DbResult& rows, std::ostream& out, const ExtraColumns& extra) {
  for (bool row = rows.MoveFirst(); row; row = rows.MoveNext()) {
    const std::string path = Field(rows, "SongPath");
    out << Field(rows, "ItemNum") << '\t' << Field(rows, "Title") << '\t' << Field(rows, "Artist")
        << '\t' << Field(rows, "ID") << '\t' << Field(rows, "Year1") << '\t' << path;
    if (extra) out << '\t' << extra(rows.Text("SongPath").value_or(""));
    out << '\n';
  }
  return kDone;
}

class LibraryTool {
public:
  // Messages are lines of their own ("Compact Completed"); the commands run
  // without asking, so questions are answered yes.
  LibraryTool(std::ostream& out, std::ostream& err)
      : out_(out), err_(err), prompts_(err, {"lyricade-library: ", false, true}) {}

  int Run(const std::vector<std::string>& all) {
    std::vector<std::string> folderArgs;
    size_t i = 0;
    while (i < all.size() && all[i] == "--data-dir") {
      if (i + 1 >= all.size()) return Usage("--data-dir needs a folder");
      folderArgs = {all[i], all[i + 1]};
      i += 2;
    }
    if (i >= all.size()) return Usage("no command");
    const std::string command = all[i];
    Arguments args(std::vector<std::string>(all.begin() + static_cast<long>(i) + 1, all.end()));

    using Command = int (LibraryTool::*)(Arguments&);
    static const std::map<std::string, Command> commands = {
        {"import", &LibraryTool::Import},         {"search", &LibraryTool::Search},
        {"list", &LibraryTool::List},             {"remove-bad", &LibraryTool::RemoveBad},
        {"compact", &LibraryTool::Compact},       {"loudness", &LibraryTool::Loudness}};
    const auto found = commands.find(command);
    if (found == commands.end()) return Usage("unknown command \"" + command + "\"");
    dataFolder_ = ResolveDataFolder(folderArgs, "lyricade", "LYRICADE_DATA_DIR");
    return (this->*found->second)(args);
  }

private:
  int Usage(const std::string& why) {
    err_ << "lyricade-library: " << why << "\n" << kUsage;
    return kBadArguments;
  }

  // Opens the data folder's library; the failure box goes to the error
  // stream.
  bool OpenLibrary(LibraryDatabase& database) {
    database.SetDataFolder(dataFolder_);
    if (database.OpenLibrary()) return true;
    err_ << "lyricade-library: no library could be opened in " << dataFolder_ << "\n";
    return false;
  }

  int Search(Arguments& args) {
    SearchField field = SearchField::AllFields;
    MatchMode mode = MatchMode::All;
    bool byStatement = false;  // the statement itself, for comparison with the index
    std::string text;
    while (!args.Empty()) {
      const std::string arg = args.Take();
      if (arg == "--on") {
        const auto name = args.TakeValue();
        const auto chosen = name ? FieldNamed(*name) : std::nullopt;
        if (!chosen) return Usage("--on takes all, title, artist, id, year, comment or location");
        field = *chosen;
      } else if (arg == "--any") {
        mode = MatchMode::AtleastOne;
      } else if (arg == "--statement") {
        byStatement = true;
      } else {
        text += text.empty() ? arg : " " + arg;
      }
    }
    if (text.empty()) return Usage("search needs words");
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    const std::vector<std::string> words = SplitSearchWords(SanitizeSearchText(text));
    const std::string statement = BuildSearchStatement(words, field, mode, SortOrder{});
    if (!byStatement) {
      // The program's search: the index, built here for this one search.
      // A library changed while it was read, or words the index leaves to
      // the statement, fall back to the statement.
      const std::unique_ptr<SearchIndex> index = SearchIndex::Build(database.LibraryPath());
      std::optional<std::vector<int64_t>> keys;
      if (index) keys = index->Search(words, field, mode, SortOrder{});
      DbResult rows;
      if (keys && rows.OpenKeys(database.LibraryPath(), "SELECT * FROM Items", std::move(*keys)))
        return PrintRows(rows, out_);
    }
    return PrintRows(database.LibraryPath(), statement, out_, err_);
  }

  int Import(Arguments& args) {
    ImportSettings settings;
    std::vector<std::string> paths;
    while (!args.Empty()) {
      const std::string arg = args.Take();
      if (arg == "--format") {
        const auto value = args.TakeValue();
        if (!value || value->size() != 1 || (*value)[0] < '0' || (*value)[0] > '3')
          return Usage("--format takes 0, 1, 2 or 3");
        settings.Format = FileNameFormatFrom((*value)[0] - '0');
      } else if (arg == "--ignore-tags") {
        settings.IgnoreTags = true;
      } else {
        paths.push_back(arg);
      }
    }
    if (paths.empty()) return Usage("import needs a folder or a file");
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    LibraryImport import(database);
    import.Settings() = settings;

    // A progress line on a terminal, rewritten in place.
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    ImportProgress progress;
    long seen = 0;
    if (terminal)
      progress.File = [this, &seen](const std::string& path) {
        err_ << "\r\033[K" << ++seen << "  " << path << std::flush;
      };
    int status = kDone;
    long imported = 0;
    for (const std::string& path : paths) {
      std::error_code error;
      const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
      if (std::filesystem::is_directory(absolute, error)) {
        imported += import.ImportFolder(absolute, progress);
      } else if (std::filesystem::is_regular_file(absolute, error)) {
        imported += import.ImportSingleFile(absolute) ? 1 : 0;
      } else {
        err_ << "lyricade-library: no such folder or file: " << path << "\n";
        status = kFailed;
      }
    }
    if (terminal && seen > 0) err_ << "\r\033[K" << std::flush;
    out_ << ImportCountText(imported) << "\n";
    if (Busy(database)) return kFailed;
    return status;
  }

  // The maintenance commands work on every row, without questions.
  std::vector<long> AllItems(const std::string& libraryPath) {
    std::vector<long> items;
    DbResult rows;
    if (!rows.Open(libraryPath, "SELECT ItemNum FROM Items ORDER BY ItemNum;")) return items;
    for (bool row = rows.MoveFirst(); row; row = rows.MoveNext())
      if (const auto item = rows.Integer(0)) items.push_back(static_cast<long>(*item));
    return items;
  }

  int RemoveBad(Arguments& args) {
    if (!args.Empty()) return Usage("remove-bad takes no arguments");
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    const std::vector<long> before = AllItems(database.LibraryPath());
    LibraryMaintenance(database, prompts_, {}).RemoveBadSongs(before);
    const size_t removed = before.size() - AllItems(database.LibraryPath()).size();
    out_ << "Removed " << removed << " missing song(s).\n";
    return Busy(database) ? kFailed : kDone;
  }

  int Compact(Arguments& args) {
    if (!args.Empty()) return Usage("compact takes no arguments");
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    // The outcome ("Compact Completed" or "Compact Failed") is printed by the
    // command itself; the library file is never lost either way.
    const bool compacted = database.CompactLibrary();
    return compacted ? kDone : kFailed;
  }

  // Another program (Lyricade itself) held the library for longer than the
  // busy wait: say so, the work is not complete.
  bool Busy(LibraryDatabase& database) {
    const int refused = database.Library().BusyFailures();
    if (refused == 0) return false;
    err_ << "lyricade-library: the library is busy (Lyricade or another program is writing to it); "
         << refused << " change(s) were not made. Try again when it is idle.\n";
    return true;
  }

  int List(Arguments& args) {
    SortOrder order;
    bool loudness = false;
    while (!args.Empty()) {
      const std::string arg = args.Take();
      if (arg == "--sort") {
        const auto name = args.TakeValue();
        const auto key = name ? SortKeyNamed(*name) : std::nullopt;
        if (!key) return Usage("--sort takes title, artist, id, year, comment or location");
        order.Key = *key;
      } else if (arg == "--desc") {
        order.Descending = true;
      } else if (arg == "--loudness") {
        loudness = true;
      } else {
        return Usage("list takes no \"" + arg + "\"");
      }
    }
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    return PrintRows(database.LibraryPath(), WholeLibraryStatement(order), out_, err_,
                     loudness ? LoudnessColumns(database.Library()) : ExtraColumns());
  }

  int Loudness(Arguments& args) {
    std::vector<std::string> rest;
    while (!args.Empty()) rest.push_back(args.Take());
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    const int status = RunLoudnessCommand(database.Library(), rest, out_, err_);
    return status == kBadArguments ? Usage("loudness takes --all, --missing and paths") : status;
  }

  std::ostream& out_;
  std::ostream& err_;
  StreamPrompts prompts_;
  std::string dataFolder_;
};

}  // namespace

int RunLibraryTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return LibraryTool(out, err).Run(args);
}

}  // namespace lyricade
