#include "cli/WindowLauncher.h"

#include "cli/ExitStatus.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <string>

#include <windows.h>

#include <shellapi.h>

namespace windowlauncher {

namespace {

// The window program, beside px417.com.
constexpr char kWindowProgram[] = "px417.exe";

// This program's own path from the system: argv[0] may be relative or lack its extension.
std::wstring ownPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Appends one argument so that the C runtime's and CommandLineToArgvW's reading give it back
// unchanged: quoted when it holds a blank or a quote, backslashes doubled only before a quote.
void appendArgument(std::wstring& line, const std::wstring& argument) {
    line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

QString systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString message = length ? QString::fromWCharArray(text, int(length)).trimmed()
                                   : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    return message;
}

} // namespace

// The arguments come from the system's own command line, not from argv: argv holds them in the
// ANSI code page, which loses a file name outside it.
int execWindow(char** /*argv*/) {
    const QFileInfo self(QString::fromStdWString(ownPath()));
    const QString program =
        QDir::toNativeSeparators(self.dir().filePath(QLatin1String(kWindowProgram)));
    if (!QFileInfo::exists(program)) {
        std::fprintf(stderr, "px417: the window program %s is missing beside %s\n", kWindowProgram,
                     qPrintable(QDir::toNativeSeparators(self.absolutePath())));
        return exitstatus::kFailed;
    }
    const std::wstring path = program.toStdWString();
    std::wstring line;
    appendArgument(line, path);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; arguments && i < count; ++i)
        appendArgument(line, arguments[i]);
    LocalFree(arguments);
    line.erase(0, 1);

    // The console's handles, so that what the window writes to standard error shows where
    // px417 was typed.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "px417: cannot start %s: %s\n", qPrintable(program),
                     qPrintable(systemMessage(GetLastError())));
        return exitstatus::kFailed;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = exitstatus::kFailed;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return int(status);
}

} // namespace windowlauncher
