#pragma once
// The second page of the format wizard without its widgets: the sample
// file, the page's own choices (ignore tags, file-name format) and what the
// page shows for them (the result lines and the status line). The page
// starts with tags in use and format 0 every time it opens.

#include <string>

#include "library/file_name_format.h"
#include "library/library_import.h"

namespace lyricade {

class FormatSamplePreview {
public:
  static constexpr const char* kTagPresent = "ID3 Tag Present!";
  static constexpr const char* kNoTagPresent = "No ID3 Tag Present!";
  static constexpr const char* kNotMp3 = "Not a MP3 file, go to Step 3.";

  // Opening the page with the sample (a full path).
  explicit FormatSamplePreview(std::string sample);

  // Only an MP3 sample offers "Ignore ID3 Tags".
  bool SampleIsMp3() const { return isMp3_; }
  bool IgnoreTags() const { return ignoreTags_; }
  FileNameFormat Format() const { return format_; }
  // Ticking or clearing the box, or picking an option, previews again.
  void SetIgnoreTags(bool ignore);
  void SetFormat(FileNameFormat format);

  // The "Result" lines and the status line.
  const ImportedFields& Result() const { return result_; }
  const std::string& Status() const { return status_; }

  // "Finish": the page's choices become the import's settings.
  ImportSettings Finish() const { return {ignoreTags_, format_}; }

private:
  void Preview();

  std::string sample_;
  bool isMp3_ = false;
  bool ignoreTags_ = false;
  FileNameFormat format_ = FileNameFormat::AlbumTitleArtist;
  ImportedFields result_;
  std::string status_;
};

}  // namespace lyricade
