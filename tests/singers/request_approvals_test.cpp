// Requests waiting for the KJ: decisions, the bound on the waiting list and
// the file that keeps it across a restart.
#include <gtest/gtest.h>

#include <fstream>

#include "common/test_folder.h"
#include "singers/request_approvals.h"

namespace lyricade {
namespace {

PendingRequest Request(const std::string& singer, const std::string& title) {
  return PendingRequest{0, singer, "/songs/" + title + ".zip", title, "Artist", 2, "Request page 10.0.0.7", 1700000000};
}

TEST(RequestApprovals, AcceptRejectAndAcceptAllReportToThePage) {
  RequestApprovals approvals;
  ASSERT_TRUE(approvals.Add(Request("Ana", "One")));
  ASSERT_TRUE(approvals.Add(Request("Ben", "Two")));
  ASSERT_TRUE(approvals.Add(Request("Ana", "Three")));
  const uint64_t first = approvals.Pending()[0].Id;
  const uint64_t second = approvals.Pending()[1].Id;
  EXPECT_NE(first, second);

  const std::optional<PendingRequest> accepted = approvals.Accept(first);
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->Title, "One");
  EXPECT_FALSE(approvals.Accept(first));  // taken once only
  EXPECT_TRUE(approvals.Reject(second));
  EXPECT_FALSE(approvals.Reject(second));

  std::vector<RequestStatus> statuses = approvals.Statuses();
  ASSERT_EQ(statuses.size(), 3u);
  EXPECT_EQ(statuses[0].Title, "Three");
  EXPECT_EQ(statuses[0].Verdict, RequestVerdict::Waiting);
  EXPECT_EQ(statuses[1].Title, "Two");  // newest decision first
  EXPECT_EQ(statuses[1].Verdict, RequestVerdict::Rejected);
  EXPECT_EQ(statuses[2].Verdict, RequestVerdict::Accepted);

  const std::vector<PendingRequest> all = approvals.AcceptAll();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].Title, "Three");
  EXPECT_TRUE(approvals.Pending().empty());
  EXPECT_EQ(approvals.Statuses()[0].Verdict, RequestVerdict::Accepted);
}

TEST(RequestApprovals, AFullListRefusesAndDecisionsStayBounded) {
  RequestApprovals approvals;
  for (size_t i = 0; i < RequestApprovals::kMaxPending; ++i) ASSERT_TRUE(approvals.Add(Request("S", "T")));
  EXPECT_TRUE(approvals.Full());
  EXPECT_FALSE(approvals.Add(Request("One", "Too many")));
  EXPECT_EQ(approvals.Pending().size(), RequestApprovals::kMaxPending);
  approvals.AcceptAll();
  for (size_t i = 0; i < RequestApprovals::kMaxDecided; ++i) {
    approvals.Add(Request("S", "T"));
    approvals.Reject(approvals.Pending()[0].Id);
  }
  EXPECT_EQ(approvals.Statuses().size(), RequestApprovals::kMaxDecided);
}

TEST(RequestApprovals, TheWaitingListSurvivesARestartAndHostileFieldsStayInTheirLine) {
  testing::TestFolder folder;
  const std::string path = folder.File("pending-requests.txt");
  RequestApprovals approvals;
  PendingRequest hostile = Request("Eve\tinjected\nline", std::string(5000, 'x'));
  hostile.Key = 99;
  approvals.Add(hostile);
  approvals.Add(Request("Ana", "One"));
  ASSERT_TRUE(approvals.Save(path));

  RequestApprovals restarted;
  ASSERT_TRUE(restarted.Load(path));
  ASSERT_EQ(restarted.Pending().size(), 2u);
  const PendingRequest& eve = restarted.Pending()[0];
  EXPECT_EQ(eve.Singer, "Eve injected line");
  EXPECT_LT(eve.Title.size(), 180u);
  EXPECT_EQ(eve.Key, 4);
  EXPECT_EQ(restarted.Pending()[1].Path, "/songs/One.zip");
  EXPECT_EQ(restarted.Pending()[1].From, "Request page 10.0.0.7");
  EXPECT_EQ(restarted.Pending()[1].ReceivedAt, 1700000000);

  // A file not of this kind, or too large to be one, loads nothing.
  std::ofstream(folder.File("other.txt")) << "1700000000\t0\tx\tAna\tT\tA\t/p\n";
  EXPECT_TRUE(restarted.Load(folder.File("other.txt")));
  EXPECT_TRUE(restarted.Pending().empty());
  {
    std::ofstream big(folder.File("big.txt"));
    big << "lyricade-pending-requests\t1\n" << std::string(RequestApprovals::kMaxFileBytes, 'x');
  }
  EXPECT_FALSE(restarted.Load(folder.File("big.txt")));
  EXPECT_TRUE(restarted.Pending().empty());
}

}  // namespace
}  // namespace lyricade
