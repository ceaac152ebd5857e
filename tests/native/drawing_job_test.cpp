#include <gtest/gtest.h>

#include <stdexcept>

#include "base/drawing_job.h"

namespace qel {
namespace {

TEST(DrawingJobs, OneAtATime) {
  DrawingJobs jobs;
  {
    auto first = jobs.Start();
    ASSERT_TRUE(first);
    EXPECT_FALSE(jobs.Start()) << "a second job while the first runs is refused";
    auto moved = std::move(*first);
    first.reset();
    EXPECT_TRUE(jobs.Running()) << "the moved job still runs";
  }
  EXPECT_FALSE(jobs.Running());
  EXPECT_TRUE(jobs.Start()) << "after the job has ended, the next one starts";

  // A job left by an exception ends too.
  try {
    auto job = jobs.Start();
    throw std::runtime_error("Visio failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(jobs.Start());
}

TEST(DrawingJobs, WorkGoingOnAfterTheHandlerRefusesTheNextJob) {
  DrawingJobs jobs;
  bool delivering = true;
  jobs.SetStillWorking([&] { return delivering; });
  EXPECT_FALSE(jobs.Start());
  delivering = false;
  EXPECT_TRUE(jobs.Start());
}

}  // namespace
}  // namespace qel
