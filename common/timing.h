// Timestamps of the window program's steps for measuring it as a user meets it: with
// the environment variable KV_TIMING set, each step writes one line to stderr,
//   KV_TIMING <ms since the process started> <step>
// Without it nothing is measured or written.
#pragma once

namespace kv {

bool TimingEnabled();
// Milliseconds since the kernel started this process (tick resolution, 10 ms or
// better), so that the loading of the program itself counts.
double MillisecondsSinceProcessStart();
void MarkTiming(const char* step);

}  // namespace kv
