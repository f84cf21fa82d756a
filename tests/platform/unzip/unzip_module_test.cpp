#include "platform/unzip/unzip_module.h"

#include <archive.h>
#include <archive_entry.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "common/test_folder.h"
#include "eunzip32.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade {
namespace {

using testing::TestFolder;

struct WriterFree {
  void operator()(archive* a) const { archive_write_free(a); }
};

struct Entry {
  Entry(std::string name, std::string data, std::string linkTarget = {})
      : Name(std::move(name)), Data(std::move(data)), LinkTarget(std::move(linkTarget)) {}
  std::string Name;
  std::string Data;
  std::string LinkTarget;  // a symbolic link member when set
};

// A ZIP written by libarchive's writer: members have data descriptors (their
// sizes follow the data), and links can be stored.
bool WriteStreamedZip(const std::string& path, const std::vector<Entry>& entries) {
  std::unique_ptr<archive, WriterFree> writer(archive_write_new());
  archive_write_set_format_zip(writer.get());
  if (archive_write_open_filename(writer.get(), path.c_str()) != ARCHIVE_OK) return false;
  for (const Entry& e : entries) {
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                         archive_entry_free);
    archive_entry_set_pathname(entry.get(), e.Name.c_str());
    archive_entry_set_mtime(entry.get(), 1'500'000'000, 0);
    if (!e.LinkTarget.empty()) {
      archive_entry_set_filetype(entry.get(), AE_IFLNK);
      archive_entry_set_symlink(entry.get(), e.LinkTarget.c_str());
      archive_entry_set_perm(entry.get(), 0777);
    } else {
      archive_entry_set_filetype(entry.get(), AE_IFREG);
      archive_entry_set_perm(entry.get(), 0644);
      archive_entry_unset_size(entry.get());  // sizes go in data descriptors
    }
    if (archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK) return false;
    if (!e.Data.empty() &&
        archive_write_data(writer.get(), e.Data.data(), e.Data.size()) != static_cast<la_ssize_t>(e.Data.size()))
      return false;
  }
  return archive_write_close(writer.get()) == ARCHIVE_OK;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

class UnzipModuleTest : public ::testing::Test {
protected:
  UnzipModuleTest() : module_(LYRICADE_TEST_MODULE_FOLDER, prompts_) {
    std::filesystem::create_directories(out_);
  }

  std::vector<std::string> List(const std::string& archive, UnzipPassOutcome* outcome = nullptr,
                                int* code = nullptr) {
    std::vector<std::string> names;
    UnzipPassRequest request{archive, out_, true, true, true, {}};
    const UnzipPassOutcome result = module_.RunPass(
        request, [&](const UnzipMemberReport& member) { names.push_back(member.Name); }, code);
    if (outcome) *outcome = result;
    return names;
  }
  UnzipPassOutcome Extract(const std::string& archive, bool recreateFolders = true, int* code = nullptr) {
    UnzipPassRequest request{archive, out_, false, recreateFolders, true, {}};
    return module_.RunPass(request, {}, code);
  }

  TestFolder folder_;
  std::string out_ = folder_.File("out/");
  ScriptedPrompts prompts_;
  UnzipModule module_;
};

TEST_F(UnzipModuleTest, ListsThenExtractsMembersWithUnknownSizes) {
  const std::string song(300'000, 'a');
  const std::string archive = folder_.File("song.zip");
  ASSERT_TRUE(WriteStreamedZip(archive, {{"Song.mp3", song}, {"Disc 1/Song.cdg", "graphics"}}));

  UnzipPassOutcome outcome{};
  EXPECT_EQ(List(archive, &outcome), (std::vector<std::string>{"Song.mp3", "Disc 1/Song.cdg"}));
  EXPECT_EQ(outcome, UnzipPassOutcome::Done);
  EXPECT_FALSE(Exists(out_ + "Song.mp3")) << "listing writes nothing";

  EXPECT_EQ(Extract(archive), UnzipPassOutcome::Done);
  EXPECT_EQ(ReadWhole(out_ + "Song.mp3"), song);
  EXPECT_EQ(ReadWhole(out_ + "Disc 1/Song.cdg"), "graphics");
  struct stat info {};
  ASSERT_EQ(::stat((out_ + "Song.mp3").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, 1'500'000'000);

  // Overwrite-all replaces what is there; without recreated folders members
  // are written flat.
  std::ofstream(out_ + "Song.mp3") << "old";
  EXPECT_EQ(Extract(archive, false), UnzipPassOutcome::Done);
  EXPECT_EQ(ReadWhole(out_ + "Song.mp3"), song);
  EXPECT_EQ(ReadWhole(out_ + "Song.cdg"), "graphics");
  EXPECT_TRUE(prompts_.Shown().empty());
}

TEST_F(UnzipModuleTest, LinksAndNamesLeavingTheFolderAreNeverWritten) {
  const std::string outside = folder_.File("outside/");
  std::filesystem::create_directories(outside);
  std::ofstream(outside + "keep.mp3") << "precious";
  const std::string archive = folder_.File("hostile.zip");
  ASSERT_TRUE(WriteStreamedZip(archive, {{"link", "", outside},
                                         {"link/keep.mp3", "evil"},
                                         {"Song.mp3", "", outside + "keep.mp3"},
                                         {"../outside/keep.mp3", "evil"},
                                         {outside + "abs.cdg", "evil"},
                                         {"Song.cdg", "graphics"}}));
  int code = 0;
  EXPECT_EQ(Extract(archive, true, &code), UnzipPassOutcome::Partial);
  EXPECT_NE(code, 0);
  EXPECT_EQ(ReadWhole(outside + "keep.mp3"), "precious");
  EXPECT_FALSE(Exists(outside + "abs.cdg"));
  // The streaming reader sees links as the plain files their local headers
  // describe (holding the link's text); no link is ever made.
  for (const char* name : {"link", "Song.mp3"}) {
    struct stat info {};
    if (::lstat((out_ + name).c_str(), &info) == 0) {
      EXPECT_TRUE(S_ISREG(info.st_mode)) << name;
    }
  }
  EXPECT_FALSE(Exists(out_ + "link/keep.mp3"));
  EXPECT_EQ(ReadWhole(out_ + "Song.cdg"), "graphics");
}

TEST_F(UnzipModuleTest, AMemberCutOffMidwayIsNotLeftHalfWritten) {
  const std::string archive = folder_.File("cut.zip");
  ASSERT_TRUE(WriteStreamedZip(archive, {{"Song.cdg", "graphics"}, {"Song.mp3", std::string(200'000, 'z') + "end"}}));
  std::filesystem::resize_file(archive, std::filesystem::file_size(archive) - 300);
  EXPECT_EQ(Extract(archive), UnzipPassOutcome::Partial);
  EXPECT_EQ(ReadWhole(out_ + "Song.cdg"), "graphics");
  EXPECT_FALSE(Exists(out_ + "Song.mp3"));
  EXPECT_TRUE(prompts_.Shown().empty());
}

// A small archive of one long run inflates far past any song; the caller's
// budget stops it, and what the module writes follows the user's umask.
TEST_F(UnzipModuleTest, ABombStopsAtTheBudgetAndFilesFollowTheUmask) {
  const std::string archive = folder_.File("bomb.zip");
  ASSERT_TRUE(WriteStreamedZip(archive, {{"Song.cdg", "graphics"}, {"Song.mp3", std::string(8u << 20, 'z')}}));
  ASSERT_LT(std::filesystem::file_size(archive), 100'000u);
  const mode_t saved = ::umask(027);
  UnzipPassRequest request{archive, out_, false, true, true, {}, 1u << 20};
  EXPECT_EQ(module_.RunPass(request, {}), UnzipPassOutcome::Partial);
  EXPECT_FALSE(Exists(out_ + "Song.mp3"));
  struct stat info {};
  ASSERT_EQ(::stat((out_ + "Song.cdg").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // Unbounded, the same archive unpacks whole.
  ::umask(saved);
  request.MaxTotalBytes = 0;
  EXPECT_EQ(module_.RunPass(request, {}), UnzipPassOutcome::Done);
  EXPECT_EQ(std::filesystem::file_size(out_ + "Song.mp3"), 8u << 20);
}

// The host's render, streaming and loader threads resolve relative paths
// against the working folder while a pass runs: the module must never move
// it. The pass runs from a decoy working folder, where relative writes would
// land, and every line the module prints is checked against it.
TEST_F(UnzipModuleTest, APassNeverMovesTheWorkingFolder) {
  const std::string archive = folder_.File("song.zip");
  ASSERT_TRUE(WriteStreamedZip(archive, {{"Song.mp3", "audio"}, {"Disc/Song.cdg", "graphics"}}));
  std::filesystem::create_directories(folder_.File("decoy"));
  const std::string decoy = std::filesystem::canonical(folder_.File("decoy")).string();
  const std::filesystem::path started = std::filesystem::current_path();
  std::filesystem::current_path(decoy);
  struct PutBack {
    std::filesystem::path folder;
    ~PutBack() { std::filesystem::current_path(folder); }
  } putBack{started};

  std::unique_ptr<void, int (*)(void*)> module(
      ::dlopen((std::string(LYRICADE_TEST_MODULE_FOLDER) + kUnzipModuleFile).c_str(), RTLD_NOW),
      ::dlclose);
  ASSERT_TRUE(module) << ::dlerror();
  auto entry = reinterpret_cast<EunzipEntryPoint>(::dlsym(module.get(), "Wiz_SingleEntryUnzip"));
  ASSERT_TRUE(entry);

  struct Seen {
    std::vector<std::string> folders;
  } seen;
  EunzipCallbacks callbacks{};
  callbacks.StructSize = sizeof callbacks;
  callbacks.User = &seen;
  callbacks.Print = [](void* user, const char*, size_t) {
    static_cast<Seen*>(user)->folders.push_back(std::filesystem::current_path().string());
  };
  EunzipOptions options{};
  options.StructSize = sizeof options;
  options.ArchivePath = archive.c_str();
  options.ExtractFolder = out_.c_str();
  options.RecreateFolders = 1;
  options.OverwriteAll = 1;
  ASSERT_EQ(entry(0, nullptr, 0, nullptr, &options, &callbacks), EUNZIP_OK);

  ASSERT_FALSE(seen.folders.empty());
  for (const std::string& during : seen.folders) EXPECT_EQ(during, decoy);
  EXPECT_EQ(std::filesystem::current_path(), decoy);
  EXPECT_TRUE(std::filesystem::is_empty(decoy)) << "nothing lands in the working folder";
  EXPECT_EQ(ReadWhole(out_ + "Song.mp3"), "audio");
  EXPECT_EQ(ReadWhole(out_ + "Disc/Song.cdg"), "graphics");
}

}  // namespace
}  // namespace lyricade
