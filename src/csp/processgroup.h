#pragma once

#include "csp/qtcompat.h"

#include <QString>
#include <QStringList>

#include <memory>

// Starting and stopping the tool runner's children, each the leader of a process group of its
// own. Only the tool runner's own files use this; everyone else goes through csp/toolrunner.h.
namespace ToolRunner::detail {

constexpr int killGraceMs = 2000;

// Every child leads a process group of its own, so that stopping it reaches whatever it
// started; one left going is stopped the same way when its owner goes away.
class GroupProcess : public QtCompat::ProcessWithChildSetup
{
public:
    GroupProcess();
    ~GroupProcess() override;
};

std::unique_ptr<GroupProcess> start(const QString &program, const QStringList &arguments);

} // namespace ToolRunner::detail
