#pragma once
// A song request from the floor, on the UI thread: the song is looked up in
// the library by its path and queued for the named singer through the host
// controller. A path the library does not hold is dropped, by the search
// index when there is one, so a flood of made-up paths costs no queries.

#include "remote/request_message.h"

namespace lyricade {

class LibraryDatabase;
class SearchIndex;
class Show;

// True when the song was queued. `index`: the library's current search
// index, or null while none describes the file.
bool QueueSongRequest(Show& show, LibraryDatabase& library, const SearchIndex* index, const SongRequest& request);

}  // namespace lyricade
