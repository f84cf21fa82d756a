// The main window's warning follows the data folder's writes: shown with the
// newest failure while any write fails, gone once each has written again.

#include "app/data_folder_writes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/test_folder.h"
#include "common/text_file.h"
#include "common/write_outcomes.h"

using namespace lyricade;
using lyricade::testing::TestFolder;

TEST(DataFolderWrites, WarnsWhileWritesFailAndClearsWhenTheySucceedAgain) {
  TestFolder folder;
  DataFolderWrites writes(folder.Path());
  int changes = 0;
  QObject::connect(&writes, &DataFolderWrites::warningChanged, [&] { ++changes; });

  // A folder that is not there stands for one that refuses the write.
  const std::string list = folder.File("lists/lastlist.lst");
  EXPECT_FALSE(WriteTextLinesAtomically(list, {"0"}));
  EXPECT_EQ(writes.Warning(),
            "Lyricade cannot save to its data folder: lists/lastlist.lst: No such file or directory");
  ReportWriteOutcome("History", false, "attempt to write a readonly database");
  EXPECT_EQ(writes.Warning(), "Lyricade cannot save to its data folder: History: attempt to write a readonly database");
  // Files outside the data folder are not its business.
  EXPECT_FALSE(WriteTextLinesAtomically("/nonexistent-folder/x.cfg", {"x"}));
  EXPECT_EQ(changes, 2);

  ReportWriteOutcome("History", true);
  EXPECT_NE(writes.Warning().find("lists/lastlist.lst"), std::string::npos) << "the list still fails";
  std::filesystem::create_directory(folder.File("lists"));
  EXPECT_TRUE(WriteTextLinesAtomically(list, {"0"}));
  EXPECT_EQ(writes.Warning(), "");
  EXPECT_EQ(changes, 4);
}
