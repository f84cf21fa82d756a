#include "library/songbook.h"

#include <algorithm>
#include <cstdint>

#include "platform/db/db_connection.h"

namespace lyricade {

namespace {

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  const size_t first = line.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

std::string Folded(const std::string& text) {
  std::string folded = text;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return folded;
}

struct Keyed {
  std::string First;
  std::string Second;
  const SongbookSong* Song;
};

void SortBy(std::vector<SongbookSong>& songs, bool artistFirst) {
  std::vector<Keyed> keyed;
  keyed.reserve(songs.size());
  for (const SongbookSong& song : songs)
    keyed.push_back({Folded(artistFirst ? song.Artist : song.Title), Folded(artistFirst ? song.Title : song.Artist),
                     &song});
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    // Songs without the first field go last, not first.
    if (a.First.empty() != b.First.empty()) return b.First.empty();
    return a.First != b.First ? a.First < b.First : a.Second < b.Second;
  });
  std::vector<SongbookSong> sorted;
  sorted.reserve(songs.size());
  for (const Keyed& entry : keyed) sorted.push_back(*entry.Song);
  songs = std::move(sorted);
}

void AppendEscaped(std::string& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
}

}  // namespace

std::optional<std::vector<SongbookSong>> ReadSongbookSongs(const std::string& libraryPath) {
  DbConnection connection;
  if (!connection.Open(libraryPath, DbAccess::ReadOnly)) return std::nullopt;
  std::vector<SongbookSong> songs;
  const bool read = connection.Query("SELECT Title, Artist, ID FROM Items ORDER BY ItemNum;", [&](const DbRow& row) {
    songs.push_back({std::string(row.Text(0).value_or("")), std::string(row.Text(1).value_or("")),
                     std::string(row.Text(2).value_or(""))});
    return true;
  });
  if (!read) return std::nullopt;
  return UniqueSongbookSongs(songs);
}

std::vector<SongbookSong> UniqueSongbookSongs(const std::vector<SongbookSong>& songs) {
  std::vector<SongbookSong> unique;
  std::vector<std::pair<std::string, size_t>> seen;
  seen.reserve(songs.size());
  for (const SongbookSong& song : songs) {
    SongbookSong clean{OneLine(song.Title), OneLine(song.Artist), OneLine(song.Id)};
    if (clean.Title.empty() && clean.Artist.empty()) continue;
    seen.emplace_back(Folded(clean.Title) + '\x1F' + Folded(clean.Artist), unique.size());
    unique.push_back(std::move(clean));
  }
  // The first of each key stays, in the library's order.
  std::stable_sort(seen.begin(), seen.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<bool> keep(unique.size(), false);
  for (size_t i = 0; i < seen.size(); ++i)
    if (i == 0 || seen[i].first != seen[i - 1].first) keep[seen[i].second] = true;
  std::vector<SongbookSong> kept;
  kept.reserve(unique.size());
  for (size_t i = 0; i < unique.size(); ++i)
    if (keep[i]) kept.push_back(std::move(unique[i]));
  return kept;
}

void SortSongbookByArtist(std::vector<SongbookSong>& songs) { SortBy(songs, true); }
void SortSongbookByTitle(std::vector<SongbookSong>& songs) { SortBy(songs, false); }

std::string SongbookHtml(const std::vector<SongbookSong>& byArtist, const SongbookOptions& options) {
  std::string out;
  out.reserve(byArtist.size() * 96 + 4096);
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  AppendEscaped(out, options.Header);
  out += "</title>\n<style>\n"
         "body{font-family:sans-serif;margin:1em;color:#111}h1{font-size:1.6em}\n"
         "#find{font-size:1.1em;padding:.4em;width:100%;max-width:30em;box-sizing:border-box}\n"
         "table{border-collapse:collapse;width:100%;margin-top:1em}th,td{text-align:left;padding:.2em .5em}\n"
         "th{cursor:pointer;border-bottom:2px solid #444}tr:nth-child(even){background:#f2f2f2}\n"
         "</style>\n</head>\n<body>\n<h1>";
  AppendEscaped(out, options.Header);
  out += "</h1>\n<p>" + std::to_string(byArtist.size()) +
         " songs. Type to find a song; choose a column's name to order by it.</p>\n"
         "<input id=\"find\" type=\"search\" placeholder=\"Artist or title\" aria-label=\"Find a song\">\n"
         "<table>\n<thead><tr><th data-col=\"0\">Artist</th><th data-col=\"1\">Title</th><th>Code</th></tr></thead>\n"
         "<tbody id=\"songs\">\n";
  for (const SongbookSong& song : byArtist) {
    out += "<tr><td>";
    AppendEscaped(out, song.Artist);
    out += "</td><td>";
    AppendEscaped(out, song.Title);
    out += "</td><td>";
    AppendEscaped(out, song.Id);
    out += "</td></tr>\n";
  }
  out += "</tbody>\n</table>\n<script>\n"
         "(function(){\n"
         "var body=document.getElementById('songs'),rows=Array.prototype.slice.call(body.rows),find=document.getElementById('find');\n"
         "var texts=rows.map(function(r){return r.textContent.toLowerCase();}),timer=0;\n"
         "find.addEventListener('input',function(){clearTimeout(timer);timer=setTimeout(function(){\n"
         "  var words=find.value.toLowerCase().split(/\\s+/).filter(Boolean);\n"
         "  rows.forEach(function(r,i){r.hidden=!words.every(function(w){return texts[i].indexOf(w)>=0;});});\n"
         "},150);});\n"
         "document.querySelectorAll('th[data-col]').forEach(function(th){th.addEventListener('click',function(){\n"
         "  var c=+th.dataset.col,o=1-c;\n"
         "  var order=rows.map(function(r,i){return i;}).sort(function(a,b){\n"
         "    var x=rows[a].cells[c].textContent.toLowerCase(),y=rows[b].cells[c].textContent.toLowerCase();\n"
         "    if(x!==y)return x<y?-1:1;x=rows[a].cells[o].textContent.toLowerCase();y=rows[b].cells[o].textContent.toLowerCase();\n"
         "    return x<y?-1:x>y?1:0;});\n"
         "  var f=document.createDocumentFragment();order.forEach(function(i){f.appendChild(rows[i]);});body.appendChild(f);\n"
         "});});\n"
         "})();\n</script>\n</body>\n</html>\n";
  return out;
}

}  // namespace lyricade
