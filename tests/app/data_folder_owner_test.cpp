// A second claim on a data folder fails and asks the first owner to come
// forward; a claim on a folder whose owner went succeeds.
#include "app/ui/data_folder_owner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <optional>

#include "common/test_folder.h"

using namespace lyricade;

TEST(DataFolderOwner, ASecondClaimAsksTheOwnerToComeForward) {
  lyricade::testing::TestFolder folder;
  std::optional<DataFolderOwner> first(std::in_place);
  ASSERT_TRUE(first->Claim(folder.Path()));
  int asked = 0;
  QObject::connect(&*first, &DataFolderOwner::comeForwardRequested, [&] { ++asked; });

  DataFolderOwner second;
  EXPECT_FALSE(second.Claim(folder.Path()));
  QElapsedTimer clock;
  clock.start();
  while (asked == 0 && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(asked, 1);

  first.reset();
  DataFolderOwner third;
  EXPECT_TRUE(third.Claim(folder.Path())) << "the lock goes with its owner";
}
