#pragma once
// One drawing job at a time. A drawing's automation calls and the AutoCAD
// link's waits let window messages through, so a second drawing command can
// arrive while one is still running and would draw into the same document
// or queue between its commands. Each drawing command handler starts its job
// here; a command given while one runs is refused with kDrawingBusyMessage.
// Editing the list is not affected: every job draws from its own copy.
#include <functional>
#include <optional>
#include <utility>

namespace qel {

inline constexpr char kDrawingBusyMessage[] = "作図中です。終わってからもう一度実行してください。";

class DrawingJobs {
 public:
  // A running job, for as long as the object lives (an exception leaving the
  // handler ends it too).
  class Job {
   public:
    explicit Job(DrawingJobs& jobs) : jobs_(&jobs) { jobs_->running_ = true; }
    Job(Job&& other) noexcept : jobs_(std::exchange(other.jobs_, nullptr)) {}
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    Job& operator=(Job&&) = delete;
    ~Job() {
      if (jobs_) jobs_->running_ = false;
    }

   private:
    DrawingJobs* jobs_;
  };

  // A job whose work goes on after its handler has returned (the AutoCAD
  // link delivering the commands queued) tells so through `stillWorking`.
  void SetStillWorking(std::function<bool()> stillWorking) { stillWorking_ = std::move(stillWorking); }

  bool Running() const { return running_ || (stillWorking_ && stillWorking_()); }

  // The new job, or nothing when one is running.
  std::optional<Job> Start() {
    if (Running()) return std::nullopt;
    return std::optional<Job>(std::in_place, *this);
  }

 private:
  bool running_ = false;
  std::function<bool()> stillWorking_;
};

}  // namespace qel
