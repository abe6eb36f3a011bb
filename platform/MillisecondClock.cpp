#include "platform/MillisecondClock.h"

namespace platform {

uint32_t MillisecondClock() {
  using namespace std::chrono;
  return WrapMilliseconds(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()));
}

}  // namespace platform
