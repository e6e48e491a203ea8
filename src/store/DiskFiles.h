#pragma once

#include <QString>

class QFileDevice;

// The two file-system steps that keep a file whole or absent, with one twin for Unix and one
// for Windows.

// Waits until the bytes written to the open file are on the disk. False with the system's
// reason in *error when the disk refuses them.
bool syncToDisk(QFileDevice& file, QString* error);

enum class RenameResult { Done, NameTaken, Failed };
// Gives the closed file at from the name to, in the same folder, in one step that refuses a
// name already taken (a dangling link included): a file that appears under to meanwhile is
// never replaced. On Failed, *error holds the system's reason.
RenameResult renameWithoutReplacing(const QString& from, const QString& to, QString* error);
