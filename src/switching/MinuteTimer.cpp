#include "switching/MinuteTimer.h"

namespace dornava {

void MinuteTimer::Start(std::int64_t nowMs) {
  start_ = nowMs;
  next_ = 1;
  running_ = true;
}

void MinuteTimer::Fired(std::int64_t nowMs) {
  // This firing is the tick that was due, even if the platform timer came a little early.
  const std::int64_t ahead = (nowMs - start_) / interval_ + 1;
  next_ = ahead > next_ + 1 ? ahead : next_ + 1;
}

std::int64_t MinuteTimer::DelayFrom(std::int64_t nowMs) const {
  const std::int64_t delay = NextDeadline() - nowMs;
  return delay > 0 ? delay : 0;
}

}  // namespace dornava
