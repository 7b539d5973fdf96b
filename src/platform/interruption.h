#pragma once

namespace inkvale::platform {

// Lets a console program notice Ctrl+C and termination requests (SIGINT, SIGTERM, SIGHUP;
// console control events on Windows) instead of ending at once, so that it can stop its work
// cleanly. Call once, early.
void watchForInterruption();

// Whether such a request has arrived since watchForInterruption().
bool interruptionRequested();

} // namespace inkvale::platform
