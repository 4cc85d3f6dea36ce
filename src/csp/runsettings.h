#pragma once

#include "csp/toolrunner.h"

#include <QString>

#include <functional>

// The tool runner's settings: the GUI's hooks and the tests' wait factor. Only the tool runner's
// own files use this; everyone else goes through csp/toolrunner.h.
namespace ToolRunner::detail {

struct Settings
{
    std::function<void(bool)> busyHook;
    std::function<void(ToolRunner::RunState, const QString &, qint64)> progressHook;
    double waitFactor = 1.0;
};

Settings &settings();

// A wait as it is to be waited: multiplied by the tests' factor; a negative one has no limit.
int scaled(int ms);

} // namespace ToolRunner::detail
