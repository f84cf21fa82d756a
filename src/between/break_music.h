#pragma once
// The break music between the songs: the current track of the list, its
// fade (the level moves by 2 points per 30 ms tick: 0 to 100 % in 50 ticks),
// next track (by one, or by a random 1, 2 or 3 with "Random Increment"),
// fade out, stop, and the track's end (the next track with "Auto Manage
// Ambients"). The ambient volume is the level a track fades in to.
//
// A list whose tracks all fail to play is tried once round and then left
// until something asks for the next track again, so unplayable files never
// keep the show busy starting graphs.

#include <functional>
#include <string>

#include "between/ambient_list.h"
#include "between/audio_player.h"

namespace lyricade {

class AppSettings;

class BreakMusic {
public:
  static constexpr int kFadeStep = 2;

  BreakMusic(AppSettings& settings, AudioPlayer& player, AmbientList& list);

  // The random step of "Random Increment", 1 to 3 (tests set their own).
  void SetRandomStep(std::function<int()> step) { randomStep_ = std::move(step); }
  // Whether a karaoke song plays: a track that ends then must not bring the
  // next one in over the singer.
  void SetSongPlaying(std::function<bool()> songPlaying) { songPlaying_ = std::move(songPlaying); }

  // "Play" and a double click: the row becomes current and plays.
  void PlayIndex(int index);
  // Plays the current track, fading in from 0.
  void PlayCurrent();
  // Moves to the next track whose file is there and plays it (a request
  // from the host, a song's end or the option switched on).
  void NextTrack();
  // Starts fading out; only while a track plays.
  void FadeOut();
  // Ends the track at once and releases its graph.
  void Stop();
  // One step of the 30 ms timer.
  void Tick();
  // The ambient volume, 0 to 100: the playing track takes it at once; a
  // fade-in goes on counting from its own level.
  void SetVolume(int percent);
  int Volume() const;
  // The player's graph ended (complete or abort); events of other graphs
  // are ignored. An end during the fade-out or while a song plays only
  // stops the track.
  void TrackEnded(uint64_t graph, TrackEnd end);

  int CurrentIndex() const { return index_; }
  bool Playing() const { return playing_; }
  bool FadingIn() const { return fadingIn_; }
  bool FadingOut() const { return fadingOut_; }
  int Level() const { return level_; }
  const std::string& PlayingPath() const { return playingPath_; }
  // How many tracks in a row ended in an abort since the last one that
  // played through or the last request.
  int FailuresInRow() const { return failuresInRow_; }

private:
  void Advance();

  AppSettings& settings_;
  AudioPlayer& player_;
  AmbientList& list_;
  std::function<int()> randomStep_;
  std::function<bool()> songPlaying_;
  int index_ = -1;
  int level_ = 0;
  bool playing_ = false;
  bool fadingIn_ = false;
  bool fadingOut_ = false;
  std::string playingPath_;
  int failuresInRow_ = 0;
};

}  // namespace lyricade
