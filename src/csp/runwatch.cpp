#include "csp/runwatch.h"

#include <QEventLoop>

ToolRunner::detail::RunWatch *ToolRunner::detail::RunWatch::current = nullptr;

void ToolRunner::cancel()
{
    if (detail::RunWatch *watch = detail::RunWatch::current) {
        if (watch->isAsking())
            return;
        watch->cancelRequested = true;
        if (watch->loop)
            watch->loop->quit();
    }
}

bool ToolRunner::isWaiting()
{
    return detail::RunWatch::current != nullptr;
}
