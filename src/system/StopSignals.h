// The three signals that ask a program to stop (SIGINT, SIGTERM, SIGHUP),
// handled in one place by the window and by the command-line renderer.
#pragma once

namespace StopSignals
{

// Routes the three signals to `handler`; interrupted system calls restart.
void route(void (*handler)(int));

} // namespace StopSignals
