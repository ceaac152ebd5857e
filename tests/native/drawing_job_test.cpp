#include <gtest/gtest.h>

#include <stdexcept>

#include "base/drawing_job.h"

namespace qel {
namespace {

TEST(DrawingJobs, OneAtATimeUntilTheJobAndItsDeliveryHaveEnded) {
  DrawingJobs jobs;
  bool delivering = false;
  jobs.SetStillWorking([&] { return delivering; });
  try {
    auto job = jobs.Start();
    ASSERT_TRUE(job);
    EXPECT_FALSE(jobs.Start()) << "a second job while the first runs is refused";
    throw std::runtime_error("Visio failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(jobs.Running()) << "a job left by an error has ended";
  delivering = true;
  EXPECT_FALSE(jobs.Start()) << "refused while the commands queued are still delivered";
  delivering = false;
  EXPECT_TRUE(jobs.Start());
}

}  // namespace
}  // namespace qel
