#pragma once
// Libraries of made-up songs for the benchmarks: realistic titles, artists,
// disc IDs, years and paths, a few accented names and apostrophes, written
// the way the import writes them. Generated once into a folder and reused
// while the file holds the expected number of rows.

#include <string>

namespace lyricade::bench {

// The folder generated libraries are kept in: $LYRICADE_BENCH_DATA, else a
// folder in the temporary directory.
std::string BenchDataFolder();

// The path of a library of `songs` rows, generating it when missing.
// Empty on failure.
std::string GeneratedLibrary(long songs, const std::string& resourceFolder);

}  // namespace lyricade::bench
