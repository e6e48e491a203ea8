#include "store/DiskFiles.h"

#include <QDir>
#include <QFileDevice>

#include <io.h>
#include <windows.h>

bool syncToDisk(QFileDevice& file, QString* error) {
    if (FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))))
        return true;
    *error = qt_error_string(int(GetLastError()));
    return false;
}

RenameResult renameWithoutReplacing(const QString& from, const QString& to, QString* error) {
    // Without MOVEFILE_REPLACE_EXISTING the move refuses a taken name.
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_WRITE_THROUGH))
        return RenameResult::Done;
    const DWORD code = GetLastError();
    *error = qt_error_string(int(code));
    return code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS ? RenameResult::NameTaken
                                                                     : RenameResult::Failed;
}
