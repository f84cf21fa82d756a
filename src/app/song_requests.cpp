#include "app/song_requests.h"

#include "app/app_log.h"
#include "app/show.h"
#include "library/library_database.h"
#include "library/search_index.h"

namespace lyricade {

bool QueueSongRequest(Show& show, LibraryDatabase& library, const SearchIndex* index, const SongRequest& request) {
  // The path is a value of the lookup, its apostrophes doubled there.
  const long item = index && !index->MayHoldPath(request.Path) ? 0 : library.FindItemByPath(request.Path);
  if (item == 0) {
    qCInfo(lcApp) << "a request for a song the library does not hold was dropped:" << request.Path.c_str();
    return false;
  }
  library.LoadCurrentItem(item);
  const CurrentItem& found = library.Current();
  QueuedSong song;
  song.Key = request.Key;
  song.Multiplex = 0;
  song.SourceRow = static_cast<int>(item);
  song.Title = found.Title;
  song.Artist = found.Artist;
  song.Id = found.Id;
  song.Year = found.Year;
  song.Path = request.Path;
  show.QueueRequestedSong(request.Singer, song);
  return true;
}

}  // namespace lyricade
