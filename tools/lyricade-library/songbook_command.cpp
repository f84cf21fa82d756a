#include "songbook_command.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "library/songbook.h"
#include "library/songbook_pdf.h"
#include "terminal_progress.h"

namespace fs = std::filesystem;

namespace lyricade {

int RunSongbookCommand(const std::string& libraryPath, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err) {
  std::optional<std::string> pdf, html;
  SongbookOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (name != "--pdf" && name != "--html" && name != "--header" && name != "--paper") {
      err << "lyricade-library: songbook takes no \"" << EscapeControls(args[i]) << "\"\n";
      return 2;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        err << "lyricade-library: " << name << " needs a value\n";
        return 2;
      }
      value = args[++i];
    }
    if (name == "--pdf") pdf = *value;
    if (name == "--html") html = *value;
    if (name == "--header") options.Header = *value;
    if (name == "--paper") {
      if (*value != "a4" && *value != "letter") {
        err << "lyricade-library: --paper takes a4 or letter\n";
        return 2;
      }
      options.Letter = *value == "letter";
    }
  }
  if ((!pdf || pdf->empty()) && (!html || html->empty())) {
    err << "lyricade-library: songbook needs --pdf FILE or --html FOLDER\n";
    return 2;
  }
  std::optional<std::vector<SongbookSong>> songs = ReadSongbookSongs(libraryPath);
  if (!songs) {
    err << "lyricade-library: the library could not be read\n";
    return 1;
  }
  std::vector<SongbookSong> byArtist = *songs;
  SortSongbookByArtist(byArtist);
  if (html && !html->empty()) {
    std::error_code error;
    fs::create_directories(*html, error);
    const std::string page = (fs::path(*html) / "index.html").string();
    const std::string partial = page + ".part";
    {
      std::ofstream file(partial, std::ios::binary | std::ios::trunc);
      file << SongbookHtml(byArtist, options);
      if (!file.flush()) {
        fs::remove(partial, error);
        err << "lyricade-library: " << EscapeControls(page) << " could not be written\n";
        return 1;
      }
    }
    fs::rename(partial, page, error);
    if (error) {
      fs::remove(partial, error);
      err << "lyricade-library: " << EscapeControls(page) << " could not be written\n";
      return 1;
    }
    out << "Songbook: " << byArtist.size() << " songs in " << EscapeControls(page) << "\n";
  }
  if (pdf && !pdf->empty()) {
    std::vector<SongbookSong> byTitle = std::move(*songs);
    SortSongbookByTitle(byTitle);
    std::string why;
    if (!WriteSongbookPdf(*pdf, byArtist, byTitle, options, &why)) {
      err << "lyricade-library: " << EscapeControls(*pdf) << " could not be written: " << why << "\n";
      return 1;
    }
    out << "Songbook: " << byArtist.size() << " songs in " << EscapeControls(*pdf) << "\n";
  }
  return 0;
}

}  // namespace lyricade
