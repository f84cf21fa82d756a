#include "library_tool.h"

#include "check_command.h"
#include "folders_command.h"
#include "refresh_command.h"
#include "loudness_command.h"
#include "songbook_command.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include <unistd.h>

#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_import.h"
#include "library/library_rows.h"
#include "library/library_search.h"
#include "library/maintenance_statements.h"
#include "library/search_index.h"
#include "platform/db/db_result.h"
#include "platform/paths/paths.h"
#include "platform/prompts/stream_prompts.h"
#include "terminal_progress.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

constexpr const char* kUsage =
    "usage: lyricade-library [--data-dir DIR] COMMAND [OPTIONS] [--] ARGUMENTS\n"
    "  import [--format 0|1|2|3] [--ignore-tags] PATH...\n"
    "  search [--on all|title|artist|id|year|comment|location] [--any] [--statement] WORDS...\n"
    "  list [--sort title|artist|id|year|comment|location] [--desc] [--loudness]\n"
    "  loudness [--all|--missing] [PATH...]\n"
    "  remove-bad [--dry-run] [--force]\n"
    "  compact\n"
    "  backup DEST\n"
    "  songbook [--pdf FILE] [--html FOLDER] [--header TEXT] [--paper a4|letter]\n"
    "  check [--listed] [PATH...]\n"
    "  folders add [--format 0|1|2|3] [--ignore-tags] DIR | folders remove DIR | folders list\n"
    "  refresh [--no-check]\n";

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

// Ctrl-C during an import stops it as "Abort" does in the program: the songs
// so far are committed. Set from the signal handler, read by the import.
std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted.store(true); }

// Catches Ctrl-C (and a polite kill) for as long as it lives.
class InterruptCatcher {
public:
  InterruptCatcher() {
    interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previousInt_);
    ::sigaction(SIGTERM, &action, &previousTerm_);
  }
  ~InterruptCatcher() {
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
  }
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
  struct sigaction previousInt_ {};
  struct sigaction previousTerm_ {};
};

// One argument as the command reads it.
struct Argument {
  std::string Text;
  bool Option = false;                // starts with "-" and came before "--"
  std::optional<std::string> Joined;  // "--format=2": the "2"
};

// The arguments after the global options are taken out: options and
// operands in their order. After "--" every argument is an operand.
class Arguments {
public:
  explicit Arguments(std::vector<Argument> args) : args_(std::move(args)) {}
  bool Empty() const { return next_ >= args_.size(); }
  Argument Take() { return args_[next_++]; }
  // The option's value: joined to it, or the next argument.
  std::optional<std::string> ValueOf(const Argument& option) {
    if (option.Joined) return option.Joined;
    if (Empty()) return std::nullopt;
    return args_[next_++].Text;
  }

private:
  std::vector<Argument> args_;
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
    // Global options anywhere before "--"; the first operand is the command.
    std::vector<std::string> folderArgs;
    std::optional<std::string> command;
    std::vector<Argument> rest;
    bool operands = false;
    for (size_t i = 0; i < all.size(); ++i) {
      const std::string& arg = all[i];
      if (!operands && arg == "--") {
        operands = true;
        if (command) rest.push_back({arg, false, std::nullopt});
        continue;
      }
      if (!operands && (arg == "--data-dir" || arg.rfind("--data-dir=", 0) == 0)) {
        std::string folder;
        if (arg == "--data-dir") {
          if (i + 1 >= all.size()) return Usage("--data-dir needs a folder");
          folder = all[++i];
        } else {
          folder = arg.substr(std::string("--data-dir=").size());
        }
        if (folder.empty()) return Usage("--data-dir needs a folder");
        folderArgs = {"--data-dir", folder};
        continue;
      }
      const bool option = !operands && arg.size() > 1 && arg[0] == '-';
      if (!command && !option) {
        command = arg;
        continue;
      }
      Argument taken{arg, option, std::nullopt};
      if (option && arg.rfind("--", 0) == 0)
        if (const size_t equals = arg.find('='); equals != std::string::npos) {
          taken.Joined = arg.substr(equals + 1);
          taken.Text = arg.substr(0, equals);
        }
      rest.push_back(std::move(taken));
    }
    if (!command) {
      if (!rest.empty() && rest.front().Option)
        return Usage("unknown option \"" + rest.front().Text + "\"");
      return Usage("no command");
    }
    Arguments args(FilterSeparator(std::move(rest)));

    using Command = int (LibraryTool::*)(Arguments&);
    static const std::map<std::string, Command> commands = {
        {"import", &LibraryTool::Import},       {"search", &LibraryTool::Search},
        {"list", &LibraryTool::List},           {"remove-bad", &LibraryTool::RemoveBad},
        {"compact", &LibraryTool::Compact},     {"backup", &LibraryTool::Backup},
        {"loudness", &LibraryTool::Loudness},   {"songbook", &LibraryTool::Songbook},
        {"check", &LibraryTool::Check},         {"folders", &LibraryTool::Folders},
        {"refresh", &LibraryTool::Refresh}};
    const auto found = commands.find(*command);
    if (found == commands.end()) return Usage("unknown command \"" + *command + "\"");
    dataFolder_ = ResolveDataFolder(folderArgs, "lyricade", "LYRICADE_DATA_DIR");
    return (this->*found->second)(args);
  }

private:
  // A "--" that came after the command separates options from operands;
  // it is no operand itself.
  static std::vector<Argument> FilterSeparator(std::vector<Argument> args) {
    std::vector<Argument> kept;
    bool seen = false;
    for (Argument& arg : args) {
      if (!seen && !arg.Option && arg.Text == "--") {
        seen = true;
        continue;
      }
      kept.push_back(std::move(arg));
    }
    return kept;
  }

  int Usage(const std::string& why) {
    err_ << "lyricade-library: " << why << "\n" << kUsage;
    return kBadArguments;
  }
  int UnknownOption(const Argument& arg, const char* command) {
    return Usage(std::string(command) + " has no option \"" + arg.Text + "\"");
  }

  // Opens the data folder's library; the failure box goes to the error
  // stream.
  bool OpenLibrary(LibraryDatabase& database) {
    database.SetDataFolder(dataFolder_);
    if (database.OpenLibrary()) return true;
    err_ << "lyricade-library: no library could be opened in " << dataFolder_ << "\n";
    return false;
  }

  // A data folder that does not exist yet is made as the program's first
  // start makes it, with empty databases (no demo songs: a KJ importing
  // their own library wants only theirs).
  bool PrepareFolder() {
    std::error_code error;
    if (fs::exists(dataFolder_, error)) return true;
    const std::string programFolder = ResolveProgramFolder("lyricade");
    if (PrepareDataFolder(dataFolder_, programFolder) == DataFolderState::Created &&
        SeedDatabaseFiles(dataFolder_, programFolder)) {
      err_ << "lyricade-library: made the new data folder " << EscapeControls(dataFolder_) << "\n";
      return true;
    }
    err_ << "lyricade-library: the data folder " << EscapeControls(dataFolder_)
         << " could not be made\n";
    return false;
  }

  int Search(Arguments& args) {
    SearchField field = SearchField::AllFields;
    MatchMode mode = MatchMode::All;
    bool byStatement = false;  // the statement itself, for comparison with the index
    std::string text;
    while (!args.Empty()) {
      const Argument arg = args.Take();
      if (arg.Option && arg.Text == "--on") {
        const auto name = args.ValueOf(arg);
        const auto chosen = name ? FieldNamed(*name) : std::nullopt;
        if (!chosen) return Usage("--on takes all, title, artist, id, year, comment or location");
        field = *chosen;
      } else if (arg.Option && arg.Text == "--any" && !arg.Joined) {
        mode = MatchMode::AtleastOne;
      } else if (arg.Option && arg.Text == "--statement" && !arg.Joined) {
        byStatement = true;
      } else if (arg.Option) {
        return UnknownOption(arg, "search");
      } else {
        text += text.empty() ? arg.Text : " " + arg.Text;
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
      const Argument arg = args.Take();
      if (arg.Option && arg.Text == "--format") {
        const auto value = args.ValueOf(arg);
        if (!value || value->size() != 1 || (*value)[0] < '0' || (*value)[0] > '3')
          return Usage("--format takes 0, 1, 2 or 3");
        settings.Format = FileNameFormatFrom((*value)[0] - '0');
      } else if (arg.Option && arg.Text == "--ignore-tags" && !arg.Joined) {
        settings.IgnoreTags = true;
      } else if (arg.Option) {
        return UnknownOption(arg, "import");
      } else {
        paths.push_back(arg.Text);
      }
    }
    if (paths.empty()) return Usage("import needs a folder or a file");
    // Every path is checked before anything is written.
    std::vector<std::string> folders;
    std::vector<std::string> files;
    int status = kDone;
    for (const std::string& path : paths) {
      std::error_code error;
      const std::string absolute = fs::absolute(path, error).lexically_normal().string();
      if (fs::is_directory(absolute, error)) {
        folders.push_back(absolute);
      } else if (fs::is_regular_file(absolute, error)) {
        files.push_back(absolute);
      } else {
        err_ << "lyricade-library: no such folder or file: " << EscapeControls(path) << "\n";
        status = kFailed;
      }
    }
    if (!PrepareFolder()) return kFailed;
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    LibraryImport import(database);
    import.Settings() = settings;

    // The progress line only when a KJ watches: standard output and the
    // error stream both on a terminal.
    TerminalProgress line(err_, ::isatty(STDOUT_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1);
    InterruptCatcher catcher;
    long tried = 0;
    ImportProgress progress;
    progress.Caption = [&line](const std::string& caption) {
      const std::string prefix = AddFolderCaption("");
      if (caption.size() > prefix.size()) line.Folder(caption.substr(prefix.size()));
    };
    progress.File = [&line, &tried](const std::string& path) {
      ++tried;
      line.File(path);
    };
    // A library another program held past the busy wait is reported, not
    // waited for again file after file.
    progress.Aborted = [&database] {
      return interrupted.load() || database.Library().BusyFailures() > 0;
    };
    long imported = 0;
    if (!files.empty()) {
      long taken = 0;
      imported += import.ImportFiles(files, progress, &taken);
      if (taken < static_cast<long>(files.size()))
        err_ << "lyricade-library: skipped " << (files.size() - static_cast<size_t>(taken))
             << " named file(s) a folder import does not take (not a song kind, or hidden).\n";
    }
    for (const std::string& folder : folders) {
      if (interrupted.load()) break;
      imported += import.ImportFolder(folder, progress);
    }
    line.Finish();
    out_ << ImportCountText(imported) << "\n";
    if (interrupted.load()) {
      err_ << "lyricade-library: interrupted; the songs imported so far are kept.\n";
      return kFailed;
    }
    if (Busy(database)) return kFailed;
    if (tried > 0 && imported == 0) {
      err_ << "lyricade-library: none of the " << tried
           << " song(s) could be added to the library: " << database.Library().LastError()
           << "\n";
      return kFailed;
    }
    if (tried > imported)
      err_ << "lyricade-library: " << (tried - imported) << " of " << tried
           << " song(s) could not be added (see the messages above).\n";
    return status;
  }

  struct StoredRow {
    long ItemNum = 0;
    std::string Path;
  };
  std::optional<std::vector<StoredRow>> AllRows(const std::string& libraryPath) {
    DbResult rows;
    if (!rows.Open(libraryPath, "SELECT ItemNum, SongPath FROM Items ORDER BY ItemNum;")) {
      err_ << "lyricade-library: the library could not be read: " << rows.LastError() << "\n";
      return std::nullopt;
    }
    std::vector<StoredRow> all;
    for (bool row = rows.MoveFirst(); row; row = rows.MoveNext())
      all.push_back({static_cast<long>(rows.Integer(0).value_or(0)), rows.Text(1).value_or("")});
    return all;
  }

  int RemoveBad(Arguments& args) {
    bool dryRun = false;
    bool force = false;
    while (!args.Empty()) {
      const Argument arg = args.Take();
      if (arg.Option && arg.Text == "--dry-run" && !arg.Joined)
        dryRun = true;
      else if (arg.Option && arg.Text == "--force" && !arg.Joined)
        force = true;
      else if (arg.Option)
        return UnknownOption(arg, "remove-bad");
      else
        return Usage("remove-bad takes no arguments");
    }
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    const auto rows = AllRows(database.LibraryPath());
    if (!rows) return kFailed;
    std::vector<StoredRow> missing;
    for (const StoredRow& row : *rows)
      if (SongMissing(row.Path)) missing.push_back(row);
    // Most songs missing at once is an unmounted drive, not a library to
    // empty.
    if (!dryRun && !force && !missing.empty() && missing.size() * 2 > rows->size()) {
      err_ << "lyricade-library: " << missing.size() << " of " << rows->size()
           << " song(s) are missing; is the song drive mounted? Nothing was removed (use "
              "--force to remove them anyway, --dry-run to list them).\n";
      return kFailed;
    }
    if (dryRun) {
      for (const StoredRow& row : missing) out_ << "Would remove: " << EscapeControls(row.Path) << "\n";
      out_ << missing.size() << " missing song(s) would be removed.\n";
      return kDone;
    }
    database.BeginTrans();
    long removed = 0;
    for (const StoredRow& row : missing)
      if (database.Execute(RemoveItemStatement(row.ItemNum)) && database.Library().Changes() > 0) {
        out_ << "Removed: " << EscapeControls(row.Path) << "\n";
        ++removed;
      }
    database.CommitTrans();
    out_ << "Removed " << removed << " missing song(s).\n";
    return Busy(database) || removed < static_cast<long>(missing.size()) ? kFailed : kDone;
  }

  int Compact(Arguments& args) {
    if (!args.Empty()) {
      const Argument arg = args.Take();
      return arg.Option ? UnknownOption(arg, "compact") : Usage("compact takes no arguments");
    }
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    // The outcome ("Compact Completed" or "Compact Failed") is printed by the
    // command itself; the library file is never lost either way.
    const bool compacted = database.CompactLibrary();
    return compacted ? kDone : kFailed;
  }

  // A consistent copy of the library while Lyricade may be writing to it: a
  // byte copy of a file with a write-ahead log can miss what the log holds.
  int Backup(Arguments& args) {
    std::optional<std::string> destination;
    while (!args.Empty()) {
      const Argument arg = args.Take();
      if (arg.Option) return UnknownOption(arg, "backup");
      if (destination) return Usage("backup takes one destination");
      destination = arg.Text;
    }
    if (!destination || destination->empty()) return Usage("backup needs a destination");
    std::error_code error;
    std::string target = fs::absolute(*destination, error).lexically_normal().string();
    if (fs::is_directory(target, error)) target = JoinFile(target, LibraryDatabase::kLibraryFile);
    LibraryDatabase database(prompts_);
    database.SetDataFolder(dataFolder_);
    if (fs::equivalent(target, database.LibraryPath(), error)) {
      err_ << "lyricade-library: the backup cannot replace the library itself\n";
      return kFailed;
    }
    if (!OpenLibrary(database)) return kFailed;
    std::string why;
    if (!database.Library().BackupTo(target, &why)) {
      err_ << "lyricade-library: the backup " << EscapeControls(target) << " could not be made: "
           << why << (database.Library().LastWasBusy() ? " (the library is busy)" : "") << "\n";
      return kFailed;
    }
    out_ << "Backed up the library to " << EscapeControls(target) << "\n";
    return kDone;
  }

  static std::string JoinFile(const std::string& folder, const std::string& name) {
    return (fs::path(folder) / name).string();
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
      const Argument arg = args.Take();
      if (arg.Option && arg.Text == "--sort") {
        const auto name = args.ValueOf(arg);
        const auto key = name ? SortKeyNamed(*name) : std::nullopt;
        if (!key) return Usage("--sort takes title, artist, id, year, comment or location");
        order.Key = *key;
      } else if (arg.Option && arg.Text == "--desc" && !arg.Joined) {
        order.Descending = true;
      } else if (arg.Option && arg.Text == "--loudness" && !arg.Joined) {
        loudness = true;
      } else if (arg.Option) {
        return UnknownOption(arg, "list");
      } else {
        return Usage("list takes no \"" + arg.Text + "\"");
      }
    }
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    return PrintRows(database.LibraryPath(), WholeLibraryStatement(order), out_, err_,
                     loudness ? LoudnessColumns(database.Library()) : ExtraColumns());
  }

  int Loudness(Arguments& args) {
    std::vector<std::string> rest;
    while (!args.Empty()) rest.push_back(args.Take().Text);
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    const int status = RunLoudnessCommand(database.Library(), rest, out_, err_);
    return status == kBadArguments ? Usage("loudness takes --all, --missing and paths") : status;
  }

  int Songbook(Arguments& args) {
    std::vector<std::string> rest;
    while (!args.Empty()) rest.push_back(args.Take().Text);
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    const int status = RunSongbookCommand(database.LibraryPath(), rest, out_, err_);
    return status == kBadArguments ? Usage("songbook takes --pdf FILE, --html FOLDER, --header TEXT and --paper")
                                   : status;
  }

  int Check(Arguments& args) {
    std::vector<std::string> rest;
    bool named = false;
    while (!args.Empty()) {
      const Argument arg = args.Take();
      if (arg.Option && !(arg.Text == "--listed" && !arg.Joined)) return UnknownOption(arg, "check");
      named = named || !arg.Option;
      rest.push_back(arg.Text);
    }
    LibraryDatabase database(prompts_);
    if (!named && !OpenLibrary(database)) return kFailed;
    InterruptCatcher catcher;
    const int status = RunCheckCommand(database, rest, out_, err_, interrupted);
    return status == kBadArguments ? Usage("check --listed takes no paths") : status;
  }

  int Folders(Arguments& args) {
    std::vector<std::string> rest;
    while (!args.Empty()) {
      const Argument arg = args.Take();
      rest.push_back(arg.Joined ? arg.Text + "=" + *arg.Joined : arg.Text);
    }
    if (!PrepareFolder()) return kFailed;
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    std::string why;
    const int status = RunFoldersCommand(database, rest, out_, err_, why);
    return status == kBadArguments ? Usage(why) : status;
  }

  int Refresh(Arguments& args) {
    bool check = true;
    while (!args.Empty()) {
      const Argument arg = args.Take();
      if (arg.Option && arg.Text == "--no-check" && !arg.Joined)
        check = false;
      else if (arg.Option)
        return UnknownOption(arg, "refresh");
      else
        return Usage("refresh takes no arguments");
    }
    LibraryDatabase database(prompts_);
    if (!OpenLibrary(database)) return kFailed;
    InterruptCatcher catcher;
    return RunRefreshCommand(database, check, ::isatty(STDOUT_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1,
                             out_, err_, interrupted);
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
