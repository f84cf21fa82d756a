#pragma once
// The songbook singers choose from: every song of the library once (the
// versions of one song, same title and artist whatever their letter case
// or maker, make one line), listed by artist and by title. Written as a PDF
// booklet (songbook_pdf.h) or as one static, searchable web page.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lyricade {

struct SongbookSong {
  std::string Title;
  std::string Artist;
  std::string Id;  // the first version's
};

struct SongbookOptions {
  std::string Header = "Songbook";  // on every page
  bool Letter = false;              // US Letter instead of A4
};

// The library's songs, one per title and artist, in the library's order;
// nullopt when the file cannot be read.
std::optional<std::vector<SongbookSong>> ReadSongbookSongs(const std::string& libraryPath);

// One per folded title and artist, the first kept; control characters
// become blanks and blanks at the ends go, so every song is one line.
std::vector<SongbookSong> UniqueSongbookSongs(const std::vector<SongbookSong>& songs);

// Ordered without regard to letter case: by artist then title, or by title
// then artist.
void SortSongbookByArtist(std::vector<SongbookSong>& songs);
void SortSongbookByTitle(std::vector<SongbookSong>& songs);

// The web page: the songs (by artist) in the page itself, every text
// escaped, with a search box and a by-title order that work from a file.
std::string SongbookHtml(const std::vector<SongbookSong>& byArtist, const SongbookOptions& options);

}  // namespace lyricade
