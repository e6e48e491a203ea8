#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the current test case again in a child process, for what a test cannot set up inside
// its own process: another user, a mount namespace.

// Starts the case's program (this one when empty) through command (setpriv, unshare ...; may be
// empty) with environment, running only the current case. Returns the child's exit status, or
// -1 when it did not run; its output goes to *out.
int rerunThisCase(const QStringList& command, const QProcessEnvironment& environment, QString* out,
                  const QString& program = {});

// Reruns the case in a mount namespace of its own, in a user namespace where the system allows
// it, else as root, after the shell command setup has run there with "$0" set to argument.
// Returns 77 when no such namespace can be made here (setup failing counts too).
int rerunInMountNamespace(const QString& setup, const QString& argument,
                          const QProcessEnvironment& environment, QString* out);

// The rerun passed its one case, and did not skip it.
void expectRerunPassed(int status, const QString& out);
