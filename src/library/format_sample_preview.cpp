#include "library/format_sample_preview.h"

namespace lyricade {
namespace {

// The text after the last "." of the name, compared with "mp3" without
// regard to case.
bool IsMp3(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension == "mp3";
}

}  // namespace

FormatSamplePreview::FormatSamplePreview(std::string sample)
    : sample_(std::move(sample)), isMp3_(IsMp3(sample_)) {
  if (!isMp3_) status_ = kNotMp3;
  Preview();
}

void FormatSamplePreview::SetIgnoreTags(bool ignore) {
  ignoreTags_ = ignore;
  Preview();
}

void FormatSamplePreview::SetFormat(FileNameFormat format) {
  format_ = format;
  Preview();
}

void FormatSamplePreview::Preview() {
  const bool withTags = isMp3_ && !ignoreTags_;
  result_ = ReadImportFields(sample_, format_, withTags);
  // Without tags the status line keeps what it said.
  if (withTags) status_ = result_.FromTag ? kTagPresent : kNoTagPresent;
}

}  // namespace lyricade
