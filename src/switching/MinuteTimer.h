// The minute timer's schedule: tick k falls due at Start + k × interval on a monotonic clock, and
// each tick re-arms for the time left to the next deadline, so lateness never accumulates.
#pragma once

#include <cstdint>

namespace dornava {

inline constexpr std::int64_t kTickIntervalMs = 60000;

class MinuteTimer {
 public:
  explicit MinuteTimer(std::int64_t intervalMs = kTickIntervalMs) : interval_(intervalMs) {}

  // Starts counting at `nowMs`.
  void Start(std::int64_t nowMs);
  // The platform timer fired for the tick that was due. After a long stall the deadlines
  // already past are skipped rather than ticked in a burst.
  void Fired(std::int64_t nowMs);
  // What to arm the platform's one-shot timer with, at `nowMs`.
  std::int64_t DelayFrom(std::int64_t nowMs) const;

  bool Running() const { return running_; }
  std::int64_t NextDeadline() const { return start_ + next_ * interval_; }

 private:
  std::int64_t interval_;
  std::int64_t start_ = 0;
  std::int64_t next_ = 1;
  bool running_ = false;
};

}  // namespace dornava
