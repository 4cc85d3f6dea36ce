#pragma once

#include "csp/processgroup.h"
#include "csp/runwait.h"
#include "csp/toolrunner.h"

#include <QByteArray>

#include <memory>

// What a run came to, and the runs left going. Only the tool runner's own files use this;
// everyone else goes through csp/toolrunner.h.
namespace ToolRunner::detail {

// What a run came to once its wait is over: its outcome and output. A run that did not end is
// stopped, or handed to its owner when it is to go on running.
ToolResult conclude(std::unique_ptr<GroupProcess> process, Wait wait, QByteArray output,
                    const ToolOptions &options);

} // namespace ToolRunner::detail
