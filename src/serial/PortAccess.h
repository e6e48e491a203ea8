#pragma once

#include <QString>

namespace portaccess {

// The line that tells the user how to get access to a device node this process may not
// read: "The port belongs to group <group>: sudo usermod -aG <group> $USER, then log in
// again." with the group that owns the node. Empty when the node can be read, does not
// exist, its group may not read it either, or the system has no such groups.
QString groupFix(const QString& node);

// Who holds the node's lock file, as "In use by another program: <name> (process <pid>)",
// when the lock names a process that is still running; empty otherwise. The name is the
// process's own, or the one the lock file gives where the system does not tell.
QString inUseBy(const QString& node);

} // namespace portaccess
