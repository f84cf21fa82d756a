#pragma once
// A song request from the floor, on the UI thread: the song is looked up in
// the library by its path and queued for the named singer through the host
// controller. A path the library does not hold is dropped.

#include "remote/request_message.h"

namespace lyricade {

class LibraryDatabase;
class Show;

// True when the song was queued.
bool QueueSongRequest(Show& show, LibraryDatabase& library, const SongRequest& request);

}  // namespace lyricade
