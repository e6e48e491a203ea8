#!/usr/bin/env bash
# Checks an unpacked PX417 for Windows (the zip's folder, or what the installer installs):
#   packaging/windows/check-dlls.sh FOLDER
# - px417.exe is a window program (GUI subsystem), px417.com a console program;
# - the windows platform and the Vista style plugins are there;
# - every DLL that any program or DLL in FOLDER imports (objdump's import tables) is either in
#   FOLDER itself, where Windows' loader looks first, or a Windows system DLL (system-dlls.txt);
# - every DLL in FOLDER itself is imported by something there, so nothing stale is shipped.
# Prints each fault and exits 1 if there is any.
set -euo pipefail
if [ $# -ne 1 ] || [ ! -d "$1" ]; then echo "usage: $0 FOLDER" >&2; exit 2; fi
FOLDER="$(cd "$1" && pwd)"
HERE="$(cd "$(dirname "$0")" && pwd)"
OBJDUMP="${PX417_OBJDUMP:-x86_64-w64-mingw32-objdump}"
faults=0
fault() { echo "FAULT: $*" >&2; faults=$((faults + 1)); }

system_dll() {
    local name="${1,,}"
    case "$name" in api-ms-win-* | ext-ms-*) return 0 ;; esac
    grep -v '^#' "$HERE/system-dlls.txt" | grep -qxF "$name"
}
imports() { "$OBJDUMP" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr -d '\r'; }
subsystem() { "$OBJDUMP" -p "$1" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*//p'; }

for f in px417.exe px417.com platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
    [ -f "$FOLDER/$f" ] || fault "$f is missing"
done
[ ! -f "$FOLDER/px417.exe" ] || [ "$(subsystem "$FOLDER/px417.exe")" = "(Windows GUI)" ] ||
    fault "px417.exe is no window program: subsystem $(subsystem "$FOLDER/px417.exe")"
[ ! -f "$FOLDER/px417.com" ] || [ "$(subsystem "$FOLDER/px417.com")" = "(Windows CUI)" ] ||
    fault "px417.com is no console program: subsystem $(subsystem "$FOLDER/px417.com")"

declare -A beside=() used=()
while IFS= read -r -d '' dll; do
    beside["$(basename "${dll,,}")"]=1
done < <(find "$FOLDER" -maxdepth 1 -type f -iname '*.dll' -print0)

count=0
while IFS= read -r -d '' file; do
    count=$((count + 1))
    "$OBJDUMP" -p "$file" >/dev/null 2>&1 || { fault "${file#"$FOLDER"/} is no PE file"; continue; }
    while IFS= read -r name; do
        [ -n "$name" ] || continue
        if [ -n "${beside[${name,,}]:-}" ]; then
            used["${name,,}"]=1
        elif ! system_dll "$name"; then
            fault "${file#"$FOLDER"/} imports $name, which is neither in the folder nor a Windows system DLL"
        fi
    done < <(imports "$file")
done < <(find "$FOLDER" -type f \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \) -print0)

for dll in "${!beside[@]}"; do
    [ -n "${used[$dll]:-}" ] || fault "$dll is shipped but nothing imports it"
done

if ((faults)); then
    echo "check-dlls: $faults fault(s) in $FOLDER" >&2
    exit 1
fi
echo "check-dlls: $count programs and DLLs in $FOLDER import only what is there or in Windows"
