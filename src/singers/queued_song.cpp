#include "singers/queued_song.h"

#include "common/field_text.h"

namespace lyricade {

QueuedSong SanitisedSong(QueuedSong song) {
  song.Key = ClampTo(song.Key, -4, 4);
  song.Multiplex = ClampTo(song.Multiplex, 0, 2);
  song.Tempo = ClampTo(song.Tempo, -kTempoLimit, kTempoLimit);
  song.Title = FieldText(song.Title, QueuedSongCapacity::Title);
  song.Year = FieldText(song.Year, QueuedSongCapacity::Year);
  song.Path = FieldText(song.Path, QueuedSongCapacity::Path);
  song.Artist = FieldText(song.Artist, QueuedSongCapacity::Artist);
  song.Id = FieldText(song.Id, QueuedSongCapacity::Id);
  song.Comment = FieldText(song.Comment, QueuedSongCapacity::Comment);
  return song;
}

std::string SanitisedSingerName(const std::string& name) {
  return FieldText(name, QueuedSongCapacity::SingerName);
}

}  // namespace lyricade
