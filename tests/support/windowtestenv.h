#pragma once

#include "scripteddialogs.h"
#include "standin.h"

// What every window test starts from, made and torn down in the right order: its own HOME and
// working directory, scripted dialogs, and a stand-in CSP directory.
struct WindowTestEnv
{
    TestHome home;
    ScriptedDialogs dialogs;
    CspStandIn csp;
};
