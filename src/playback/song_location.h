#pragma once
// The string rules of song opening: what kind of song a location names, where
// its graphics are, which companion videos go with it, and the key and
// channel labels.

#include <string>
#include <vector>

#include "playback/song_file.h"

namespace lyricade {

// "http://" anywhere: streamed; extension "zip": zipped; anything else local.
SongKind KindOfLocation(const std::string& location);

// The media path with exactly its last three characters replaced by "cdg"
// (Track.mpeg looks for Track.mcdg), but the whole extension of the newer
// kinds that pair with a CD+G file (Song.flac looks for Song.cdg). Empty for a path shorter than
// three.
std::string GraphicsPathFor(const std::string& media);

// For ".zip" and ".mp3" locations: the location without its last four
// characters plus ".avi", ".mpg", ".wmv", in that order; none otherwise.
std::vector<std::string> CompanionVideoCandidates(const std::string& location);

// The graphics file of a media path as it exists on disk, whatever the
// letter case of its name ("SONG.CDG" beside "SONG.MP3"), the exact name
// first; empty when there is none.
std::string FindGraphicsFor(const std::string& media);

// The first companion video that exists, whatever the letter case of its
// name; empty when there is none.
std::string FindCompanionVideo(const std::string& location);

// "Norm" for 0, else the key in semitones (tenths / 10) as "+%d" or "%d".
std::string KeyLabel(int keyTenths);
// "Norm", "+5%", "-12%".
std::string TempoLabel(int percent);
// "Center", "Left" or "Right" for 0, 1 and anything else.
std::string ChannelLabel(int channel);

}  // namespace lyricade
