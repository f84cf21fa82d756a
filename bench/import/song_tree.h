#pragma once
// The song tree the import benchmarks import: `branches` chains of `depth`
// nested folders, each folder holding `pairs` MP3+G pairs whose MP3s carry
// ID3v2.4 tags (two frames of audio each). Made in a temporary folder, gone
// with the object.

#include <filesystem>

namespace lyricade::bench {

namespace fs = std::filesystem;

constexpr int kBranches = 20;
constexpr int kDepth = 10;
constexpr int kPairsPerFolder = 100;  // 20 x 10 x 100 = 20,000 pairs

struct SongTree {
  SongTree(int branches = kBranches, int depth = kDepth, int pairs = kPairsPerFolder);
  ~SongTree();
  SongTree(const SongTree&) = delete;
  SongTree& operator=(const SongTree&) = delete;
  fs::path folder;  // the tree is its "Songs" folder
  bool ready = false;
};

}  // namespace lyricade::bench
