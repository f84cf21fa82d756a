#pragma once
// Queuing a song from a list through the "Add Song" dialog: the song's fields
// from the row it came from (library list or online catalogue), then the
// singer, key and channel from the dialog. The rotation saves itself.

#include <string>

#include "singers/queued_song.h"
#include "singers/ui/history_name_button.h"

class QWidget;

namespace lyricade {

class LibraryListModel;
class Prompts;
class SingerRotation;
struct AddSongChoice;

// A library row: title, artist, ID, comment, year and path as listed.
QueuedSong SongFromLibraryRow(const LibraryListModel& model, long row);
// A catalogue row: a streamed song, its comment "Streaming" and no year.
QueuedSong SongFromCatalogueRow(const std::string& title, const std::string& artist,
                                const std::string& id, const std::string& streamAddress, long row);

// Appends the song for the chosen singer (a typed name is a new singer at
// the end) with the chosen key and multiplex. False when the chosen singer
// is gone.
bool QueueChosenSong(SingerRotation& rotation, const AddSongChoice& choice, QueuedSong song);

// Opens "Add Song" (modal) and queues the song when it is accepted.
bool QueueThroughAddSong(SingerRotation& rotation, const QueuedSong& song, Prompts& prompts,
                         HistoryNames names, QWidget* parent);

}  // namespace lyricade
