#include "singers/ui/song_queueing.h"

#include "library/library_list_model.h"
#include "singers/singer_rotation.h"
#include "singers/ui/add_song_dialog.h"

namespace lyricade {

QueuedSong SongFromLibraryRow(const LibraryListModel& model, long row) {
  QueuedSong song;
  song.SourceRow = static_cast<int>(row);
  // The model's columns: Title, Artist, ID, Comments1, Year1; the path is
  // read whole (the location cell marks missing files).
  song.Title = model.CellText(row, 0);
  song.Artist = model.CellText(row, 1);
  song.Id = model.CellText(row, 2);
  song.Comment = model.CellText(row, 3);
  song.Year = model.CellText(row, 4);
  song.Path = model.SongPath(row);
  return SanitisedSong(std::move(song));
}

QueuedSong SongFromCatalogueRow(const std::string& title, const std::string& artist,
                                const std::string& id, const std::string& streamAddress, long row) {
  QueuedSong song;
  song.SourceRow = static_cast<int>(row);
  song.Title = title;
  song.Artist = artist;
  song.Id = id;
  song.Comment = "Streaming";
  song.Path = streamAddress;
  return SanitisedSong(std::move(song));
}

bool QueueChosenSong(SingerRotation& rotation, const AddSongChoice& choice, QueuedSong song) {
  song.Key = choice.Key;
  song.Multiplex = choice.Multiplex;
  int singer = choice.Singer;
  if (!choice.NewName.empty()) singer = rotation.AddNewcomer(choice.NewName);
  return rotation.QueueSong(singer, song);
}

bool QueueThroughAddSong(SingerRotation& rotation, const QueuedSong& song, Prompts& prompts,
                         HistoryNames names, QWidget* parent) {
  AddSongDialog dialog(rotation, prompts, std::move(names), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  return QueueChosenSong(rotation, dialog.Choice(), song);
}

}  // namespace lyricade
