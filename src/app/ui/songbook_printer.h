#pragma once
// "Print Songbook...": asks where and under which header, then writes the
// songbook's PDF booklet on a thread of its own behind a progress window
// with "Abort"; the window stays responsive and an aborted run leaves no
// file.

#include <string>

class QWidget;

namespace lyricade {

void PrintSongbook(QWidget* parent, const std::string& libraryPath);

}  // namespace lyricade
