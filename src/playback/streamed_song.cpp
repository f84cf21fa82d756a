#include "playback/streamed_song.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "cdg/cdg_player.h"
#include "common/path_pieces.h"
#include "common/field_text.h"
#include "platform/net/http_client.h"
#include "platform/net/worker_task.h"
#include "platform/prompts/prompts.h"
#include "common/scene_flags.h"
#include "common/stream_answer.h"
#include "playback/playback_log.h"
#include "playback/scratch_folder.h"
#include "playback/song_transport.h"
#include "playback/zip_song_extractor.h"

namespace lyricade {

StreamedSongs::StreamedSongs(HttpClient& http, Prompts& prompts, SongTransport& transport,
                             CdgPlayer& cdg, SceneFlags& scene, std::string streamFolder,
                             std::string serviceBase)
    : http_(http),
      prompts_(prompts),
      transport_(transport),
      cdg_(cdg),
      scene_(scene),
      streamFolder_(std::move(streamFolder)),
      serviceBase_(std::move(serviceBase)) {}

std::string StreamedSongs::CheckUrl(const std::string& query) const {
  return HttpClient::ComposeUrl(serviceBase_ + "/cgi-bin/vudazazareziraro/LYRSubs/checksub.asp?" +
                                query);
}

std::string StreamedSongs::FileUrl(const std::string& query, const std::string& name,
                                   int type) const {
  return HttpClient::ComposeUrl(serviceBase_ + "/cgi-bin/vudazazareziraro/LYRSubs/getfilesub.aspx?" +
                                query + "&MP3File=" + name + "&Type=" + std::to_string(type));
}

void StreamedSongs::OpenStreamedSong(const std::string& location, int, int) {
  // Everything after the first seven characters ("http://") is the key.
  const std::string query = location.size() > 7 ? location.substr(7) : std::string();
  // The transfers run on a worker; the host's clicks and keys wait for them
  // (Play is in the middle of opening), the timers and painting go on.
  WorkerWait wait;
  wait.AcceptInput = false;
  std::string answer;
  RunOnWorker([&] { answer = http_.FetchText(CheckUrl(query)); }, wait);
  const StreamAnswer parsed = ParseStreamAnswer(answer);
  if (!parsed.HasMarker) {
    prompts_.Message("Streaming Failure", answer.size() < 2 ? kConnectionFailure : answer,
                     PromptButtons::Ok, PromptIcon::Warning);
    return;
  }
  // The name goes back unescaped into the file address: one that could add
  // or change a query field, or name another path, is refused, not sent.
  if (!parsed.Name) {
    std::string_view line = std::string_view(answer).substr(answer.find(kStreamAnswerMarker) +
                                                            kStreamAnswerMarker.size());
    line = line.substr(0, std::min<size_t>(line.find_first_of("\r\n"), 255));
    qCWarning(lcPlayback, "the service named the streamed file \"%s\": refused",
              BlankControlCharacters(line).c_str());
    prompts_.Message("Streaming Failure", kConnectionFailure, PromptButtons::Ok, PromptIcon::Warning);
    return;
  }

  const std::string& name = *parsed.Name;
  SongFile song;
  song.Kind = SongKind::Streamed;
  song.Location = location;
  song.Media = FileUrl(query, name, 1);
  // Building marks nothing as playing yet; it is marked once rendered, as
  // the channel and key are set on the filter. The service's file may be
  // slow or silent: the graph opens it on its own threads and the song goes
  // on from here when it is ready, while the window and the lyrics on the
  // screen carry on.
  transport_.BeginSong();
  transport_.StartSongGraph(song, OpenTimeoutMs(), [this, query, name](bool rendered) {
    if (rendered) PlayRendered(query, name);
  });
}

int StreamedSongs::OpenTimeoutMs() const {
  // The audio is the service's answer too: it waits as a transfer waits to
  // connect, never longer than a local song's render.
  const long seconds = std::clamp<long>(http_.Timeouts().ConnectSeconds, 1, 15);
  return static_cast<int>(seconds * 1000);
}

void StreamedSongs::PlayRendered(const std::string& query, const std::string& name) {
  transport_.ApplyVolume();
  WorkerWait wait;
  wait.AcceptInput = false;

  // The graphics: a fresh folder below an emptied "Stream/".
  RemoveScratchTree(streamFolder_);
  const std::string folder = MakePrivateFolder(streamFolder_)
                                 ? MakeScratchFolder(streamFolder_, ScratchNumber(UtcScratchClock()))
                                 : std::string();
  const std::string graphics = folder.empty() ? std::string() : folder + "temp.cdg";
  DownloadResult result = DownloadResult::NotOpened;
  if (!graphics.empty())
    RunOnWorker([&] { result = http_.DownloadToFile(FileUrl(query, name, 2), graphics, DownloadKind::Graphics); }, wait);
  if (result != DownloadResult::Ran) {
    if (graphics.empty())
      qCWarning(lcPlayback, "no folder for the streamed graphics below %s", streamFolder_.c_str());
    else
      qCWarning(lcPlayback, "the streamed graphics %s were not downloaded", name.c_str());
    transport_.StopPlayback(false);
    return;
  }
  // The host may have stopped the song while the graphics came.
  if (!transport_.State().Playing || !transport_.Graph()) return;
  if (IsRegularFile(graphics)) {
    if (!cdg_.Open(graphics))
      qCWarning(lcPlayback, "the streamed graphics %s do not open", graphics.c_str());
    transport_.MarkGraphics();
    scene_.SongVisualShowing = true;
    scene_.CdgMode = true;
  }
  scene_.SongPlaying = true;
  transport_.RunGraph();
}

}  // namespace lyricade
