#pragma once
// The end-to-end tests run the program and its simulated sensors in real time, and the sensor
// protocol gives answers short windows: the status answer at the start of a connection must
// come within 100 ms of the request, a probe's answer within 200 ms, or the program takes the
// sensor for absent or its connection for unstable, and rightly does not connect. A sensor on a
// line of its own answers within them whatever else the test machine does. The simulated
// sensors and the program share the machine's cores with all else on it: on a busy machine each
// of them waits for a core on every wake-up, and an answer took up to 220 ms from the request to
// the program's handling of it, so that a start-up search now and then found no sensor.
//
// So these tests take precedence over other work on the machine where they may: the calling
// thread's scheduling priority is raised, and the processes and threads it starts afterwards
// inherit it. What the program does and what the tests check stays as it is. Without the
// permission to raise it (not root) the priority stays as it was.

#include <sys/resource.h>

namespace e2e {

inline void TakePrecedenceOverOtherWork()
{
    constexpr int kNice = -10;
    (void)::setpriority(PRIO_PROCESS, 0, kNice);
}

}  // namespace e2e
