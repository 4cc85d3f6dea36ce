#pragma once

#include <functional>

class QProcess;

// Waiting for a run in a local event loop, so that the window still repaints and answers the
// desktop meanwhile. Only the tool runner's own files use this; everyone else goes through
// csp/toolrunner.h.
namespace ToolRunner::detail {

enum class Wait { Done, Expired, Cancelled };

// Runs a local event loop until the process is no longer running, `done` returns true, waitMs
// have passed (never for a negative waitMs), or the user cancelled. The user's input is not held
// back here: the GUI's progress hook decides which windows take it.
// A process that was left going may be deleted inside the loop once it has finished; that counts
// as ended.
Wait waitUntil(QProcess &process, int waitMs, const std::function<bool()> &done);

// After a wait that ran out: true when the process ended all the same. Otherwise the process
// carries QProcess's own time-out error ("Process operation timed out").
bool endedAfterAll(QProcess &process);

} // namespace ToolRunner::detail
