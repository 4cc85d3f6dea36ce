#pragma once

class QObject;

// Runs a suite so that a warning Qt prints during a test fails that test: a "QProcess: Destroyed
// while process ... is still running" or a "No matching signal for ..." is a fault of ours that
// would otherwise scroll past in the log. A message the test expects (QTest::ignoreMessage)
// passes, and so does the one warning of the offscreen platform that says nothing about us.
namespace StrictWarnings {

// QTest::qExec with the strict message handler installed for the whole run.
int exec(QObject *testObject, int argc, char **argv);

} // namespace StrictWarnings
