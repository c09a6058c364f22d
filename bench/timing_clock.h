#pragma once

namespace velmo::bench {

// A monotonic clock in nanoseconds for the timing program (<chrono> does not compile with the
// engine's Shift-JIS literals). Each system has its own file.
double NowNs();

} // namespace velmo::bench
