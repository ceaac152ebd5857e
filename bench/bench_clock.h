#pragma once
// The benchmarks' clock: seconds as a double. gettimeofday, because the
// project's code avoids <chrono> (its literals have no Shift-JIS form).
#include <sys/time.h>

namespace qel::bench {

inline double Now() {
  timeval t{};
  gettimeofday(&t, nullptr);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

}  // namespace qel::bench
