// The job database under a killed writer and under several programs at once:
// a kill -9 during a save loses at most that job, and two writers never see
// a lock error or lose a job.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <set>
#include <thread>

#include "JobDatabase.h"
#include "JobSamples.h"
#include "support/TestEnv.h"

namespace {

using qv::jobs::Job;
using qv::jobs::JobDatabase;
using qv::jobs::OpenResult;
using qv::jobs::OpenStatus;

// In a child: saves jobs until killed, telling `fd` each id once committed.
[[noreturn]] void SaveForever(const std::filesystem::path& path, int fd, int round) {
  OpenResult r;
  auto db = JobDatabase::Open(path, r);
  if (!db) _exit(3);
  for (int i = 0;; ++i) {
    Job j = qvtest::SampleJob("K-" + std::to_string(round) + "-" + std::to_string(i));
    j.notes = std::string(static_cast<std::size_t>(i % 7) * 3000, 'n');  // jobs of several pages
    db->Save(j);
    const std::int64_t id = j.id;
    if (write(fd, &id, sizeof id) != sizeof id) _exit(4);
  }
}

// Every job on file is whole: both captures with their four cylinders.
void ExpectWhole(const JobDatabase& db, std::int64_t id) {
  const auto j = db.Load(id);
  ASSERT_TRUE(j) << id;
  const Job want = qvtest::SampleJob(j->vehicle.registration);
  EXPECT_EQ(j->before, want.before) << id;
  EXPECT_EQ(j->after, want.after) << id;
  EXPECT_EQ(j->customer, want.customer) << id;
}

TEST(JobCrash, KillDuringSaveLosesAtMostThatJob) {
  qvtest::ScratchDir dir;
  const auto path = dir / "jobs.sqlite";
  std::mt19937 rng(20261209);
  std::set<std::int64_t> committed;
  for (int round = 0; round < 40; ++round) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      SaveForever(path, fds[1], round);
    }
    close(fds[1]);
    // Let it commit a few, then kill it at some moment within a save.
    const int wanted = static_cast<int>(rng() % 4);
    std::int64_t id = 0;
    for (int n = 0; n < wanted && read(fds[0], &id, sizeof id) == sizeof id; ++n) committed.insert(id);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 4000));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;
    while (read(fds[0], &id, sizeof id) == sizeof id) committed.insert(id);
    close(fds[0]);

    OpenResult r;
    auto db = JobDatabase::Open(path, r);
    ASSERT_TRUE(db) << "round " << round << ": " << r.detail;
    const auto listed = db->List();
    // Everything it said was saved is there; at most the one in flight besides.
    ASSERT_GE(listed.size(), committed.size());
    ASSERT_LE(listed.size(), committed.size() + static_cast<std::size_t>(round + 1));
    for (const auto id2 : committed) ExpectWhole(*db, id2);
    for (const auto& s : listed) {
      ExpectWhole(*db, s.id);
      committed.insert(s.id);  // a job that made it counts from now on
    }
  }
  EXPECT_GT(committed.size(), 20u);
}

TEST(JobCrash, TwoWritersAndAReaderAtOnce) {
  qvtest::ScratchDir dir;
  const auto path = dir / "jobs.sqlite";
  {
    OpenResult r;
    ASSERT_TRUE(JobDatabase::Open(path, r));
  }
  constexpr int kEach = 60;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      OpenResult r;
      auto db = JobDatabase::Open(path, r);
      if (!db) _exit(3);
      try {
        for (int i = 0; i < kEach; ++i) {
          Job j = qvtest::SampleJob("W" + std::to_string(c) + "-" + std::to_string(i));
          db->Save(j);
        }
      } catch (const std::exception&) {
        _exit(5);  // a lock error reached the caller
      }
      _exit(0);
    }
  }
  // Meanwhile this process reads and writes through its own connection.
  OpenResult r;
  auto db = JobDatabase::Open(path, r);
  ASSERT_TRUE(db) << r.detail;
  for (int i = 0; i < 20; ++i) {
    EXPECT_NO_THROW((void)db->List("W"));
    Job j = qvtest::SampleJob("P-" + std::to_string(i));
    EXPECT_NO_THROW(db->Save(j));
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  EXPECT_EQ(db->Count(), 2 * kEach + 20);
  EXPECT_EQ(db->List("W0-").size(), static_cast<std::size_t>(kEach));
  EXPECT_EQ(db->List("W1-").size(), static_cast<std::size_t>(kEach));
}

}  // namespace
