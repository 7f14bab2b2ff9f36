// Conversions on several threads, their outcomes taken in the order given.
// The conversions are stand-ins that the test holds, lets go or makes fail,
// so that the order in which they end is the test's.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <stdexcept>
#include <thread>

#include "run/ParallelConversions.h"

namespace movara::run {
namespace {

using namespace convert;

struct StandIns {
  std::vector<TConvertOptions> jobs;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::vector<std::atomic<bool>> ran;
  std::size_t held;
  std::size_t failing;

  StandIns(std::size_t count, std::size_t heldJob, std::size_t failingJob = SIZE_MAX)
      : ran(count), held(heldJob), failing(failingJob) {
    for (std::size_t i = 0; i < count; ++i) {
      TConvertOptions job;
      job.Gif = job.Movie = std::to_string(i);
      jobs.push_back(job);
    }
  }
  // Job `held` waits until released; job `failing` throws.
  TParallelConversions::TConvert Convert() {
    return [this](const TConvertOptions& job) {
      const std::size_t i = std::stoul(job.Gif.string());
      ran[i] = true;
      // Bounded, so that a failed test does not wait for ever on its way out.
      if (i == held) released.wait_for(std::chrono::seconds(10));
      if (i == failing) throw std::runtime_error("conversion " + job.Gif.string() + " failed");
      TConvertOutcome outcome;
      outcome.Movie = job.Movie;
      return outcome;
    };
  }
};

bool EventuallyStarted(TParallelConversions& run, std::size_t index) {
  for (int i = 0; i < 10000 && !run.Started(index); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return run.Started(index);
}

// Five conversions on two threads: one thread runs the last four while the
// first is held; each outcome is its own conversion's.
TEST(ParallelConversions, OutcomesInTheOrderGivenWhateverOrderTheyEndIn) {
  StandIns s(5, 0);
  TParallelConversions run(s.jobs, 2, s.Convert());
  ASSERT_EQ(run.Count(), 5u);
  ASSERT_TRUE(EventuallyStarted(run, 4)) << "the other thread goes on";
  for (std::size_t i = 4; i >= 1; --i) EXPECT_EQ(run.Take(i)->Movie, std::to_string(i));
  s.release.set_value();
  EXPECT_EQ(run.Take(0)->Movie, "0");
}

// A failure is thrown where its conversion's outcome is taken; those after
// it still come.
TEST(ParallelConversions, AFailureIsTakenInItsPlace) {
  StandIns s(3, SIZE_MAX, 1);
  TParallelConversions run(s.jobs, 3, s.Convert());
  EXPECT_EQ(run.Take(0)->Movie, "0");
  try {
    run.Take(1);
    ADD_FAILURE() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "conversion 1 failed");
  }
  EXPECT_EQ(run.Take(2)->Movie, "2");
}

// Stopped, the conversion under way ends and the others never start, nor do
// they when the object goes; taking one of them gives nothing, one beyond
// the list throws, instead of waiting for ever.
TEST(ParallelConversions, ConversionsNotStartedAreNotRun) {
  StandIns s(3, 0);
  {
    TParallelConversions run(s.jobs, 1, s.Convert());
    ASSERT_TRUE(EventuallyStarted(run, 0));
    run.Stop();
    s.release.set_value();
    EXPECT_EQ(run.Take(0)->Movie, "0");
    EXPECT_FALSE(run.Started(1));
    EXPECT_FALSE(run.Take(1).has_value());
    EXPECT_THROW(run.Take(3), std::out_of_range);
  }
  EXPECT_TRUE(s.ran[0]);
  EXPECT_FALSE(s.ran[1]);
  EXPECT_FALSE(s.ran[2]);
}

// Once the run may start no more (a signal arrived), no conversion starts,
// even on a thread that is free; one taken meanwhile gives nothing.
TEST(ParallelConversions, NothingStartsOnceTheRunMayStartNoMore) {
  StandIns s(4, 0);
  std::atomic<bool> may = true;
  TParallelConversions run(s.jobs, 2, s.Convert(), [&] { return may.load(); });
  ASSERT_TRUE(EventuallyStarted(run, 3)) << "the free thread runs the rest";
  may = false;
  EXPECT_EQ(run.Take(3)->Movie, "3");
  s.release.set_value();
  EXPECT_EQ(run.Take(0)->Movie, "0");

  StandIns t(4, 0);
  std::atomic<bool> mayNot = true;
  TParallelConversions stopped(t.jobs, 1, t.Convert(), [&] { return mayNot.load(); });
  ASSERT_TRUE(EventuallyStarted(stopped, 0));
  mayNot = false;
  t.release.set_value();
  EXPECT_EQ(stopped.Take(0)->Movie, "0");
  EXPECT_FALSE(stopped.Take(1).has_value());
  EXPECT_FALSE(t.ran[1]);
}

}  // namespace
}  // namespace movara::run
