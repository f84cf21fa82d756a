#pragma once
// The audio kinds that pair with a CD+G file of the same name, as an MP3 does
// in an MP3+G pair: the audio file is the song, the ".cdg" its graphics; and
// the MIDI karaoke kinds. Used by import (which takes only such pairs of the
// newer kinds), song opening and the ZIP song extractor, so all three agree
// on the kinds.

#include <string>
#include <string_view>

namespace lyricade {

// "ogg", "flac", "m4a", "opus" and "wav" in any letter case: the kinds that
// came after MP3 and play beside a ".cdg". MP3 itself is not among them.
bool IsNewerPairedAudioExtension(std::string_view extension);

// An MP3 or one of the newer kinds, by the path's extension.
bool IsPairedAudioPath(std::string_view path);

// A karaoke MIDI file (".kar", or ".mid"), by the path's extension.
bool IsMidiSongPath(std::string_view path);

// The ".cdg" beside an audio file as it exists on disk, whatever the letter
// case of its name, the whole extension replaced (Song.flac, Song.cdg);
// empty when there is none.
std::string FindPairedGraphics(const std::string& audio);

}  // namespace lyricade
