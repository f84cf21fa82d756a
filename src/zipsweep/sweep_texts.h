#pragma once
// The texts zipsweep shows in its list, its log and its boxes.

namespace lyricade::sweep {

inline constexpr const char* kNotTested = "Not Tested";
inline constexpr const char* kTestPassed = "Test Passed";
inline constexpr const char* kTestFailed = "Test Failed";

// Engines that unpacked an archive.
inline constexpr const char* kZLib = "zLib";
inline constexpr const char* kInfoZip = "Info-ZIP";

// Reasons an archive failed.
inline constexpr const char* kBadFilename = "BAD Filename";
inline constexpr const char* kZipBad = "ZIP BAD";
inline constexpr const char* kMissingMp3 = "Missing MP3";
inline constexpr const char* kMissingCdg = "Missing CDG";

// An archive that passed "UNZIP All" but is kept whatever the check box says:
// a later archive replaced some of its unpacked files, or some of them could
// not be moved into place. The row's "Used" column gets the suffix, the log
// a line with the reason and the status below.
inline constexpr const char* kKeptSuffix = " - ZIP Kept";
inline constexpr const char* kReplacedReason = "Files Replaced by Later ZIP";
inline constexpr const char* kNotPlacedReason = "Files Not Moved Into Place";
inline constexpr const char* kKeptStatus = "ZIP Kept";
// The archive's own members landed on one name (folders flattened, or a name
// stored twice), or the fallback engine left some of them out.
inline constexpr const char* kSharedNameReason = "Files Share a Name in ZIP";
inline constexpr const char* kLeftOutReason = "Files Left Out of ZIP";

inline constexpr const char* kLogFile = "ziplog.txt";
inline constexpr const char* kLogHeader = "Quillon ZIP Tester Log 1.0\n\n";

}  // namespace lyricade::sweep
