#pragma once
// Playing a streamed song: the service is asked whether the account may
// stream the song; on yes the audio plays straight from the service's file
// address through the song graph, and the graphics are downloaded into
// "temp.cdg" in a fresh folder below "Stream/" before the graph runs. Both
// transfers run on a worker thread; the host's clicks and keys wait for them.
// The audio is opened by the graph without waiting for it: the request
// returns while it opens, and the song goes on when the graph is ready.

#include <functional>
#include <string>

#include "playback/song_opening.h"

namespace lyricade {

class CdgPlayer;
class HttpClient;
class Prompts;
class SongTransport;
struct SceneFlags;
struct ScratchClock;

class StreamedSongs : public StreamedSongOpener {
public:
  // `streamFolder`: the "Stream/" scratch folder, emptied before every
  // graphics download. `serviceBase`: the service's base address.
  StreamedSongs(HttpClient& http, Prompts& prompts, SongTransport& transport, CdgPlayer& cdg,
                SceneFlags& scene, std::string streamFolder, std::string serviceBase);

  void OpenStreamedSong(const std::string& location, int channel, int keyTenths) override;

  // The two addresses of the service's streaming (query: the streaming key).
  std::string CheckUrl(const std::string& query) const;
  std::string FileUrl(const std::string& query, const std::string& name, int type) const;

  static constexpr const char* kMarker = "--:STREAM:--";
  static constexpr const char* kConnectionFailure =
      "Connection Failure, Check Your Internet Connection";

private:
  // How long the graph waits for the service's audio.
  int OpenTimeoutMs() const;
  // The audio is paused at its start: the graphics, then the run.
  void PlayRendered(const std::string& query, const std::string& name);

  HttpClient& http_;
  Prompts& prompts_;
  SongTransport& transport_;
  CdgPlayer& cdg_;
  SceneFlags& scene_;
  std::string streamFolder_;
  std::string serviceBase_;
};

}  // namespace lyricade
