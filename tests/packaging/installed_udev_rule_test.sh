#!/usr/bin/env bash
# The udev rule check on a machine where the package is installed. The project is installed
# with prefix /usr into a scratch root, as the package lays it out; in a private mount namespace
# that installed rule then lies in /usr/lib/udev/rules.d beside the system's rules, and the
# check of the checkout's rule must still pass. The machine is left as it was.
# Usage: installed_udev_rule_test.sh <build dir> <check script> <rules file>
set -euo pipefail
BUILD=$1 CHECK=$2 RULE=$3

skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root for a private mount namespace"
unshare -m true 2>/dev/null || skip "no private mount namespace here"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
DESTDIR="$WORK/root" cmake --install "$BUILD" --prefix /usr >/dev/null
installed="$WORK/root/usr/lib/udev/rules.d/$(basename "$RULE")"
[ -f "$installed" ] || { echo "FAIL: the install holds no $installed"; exit 1; }

mkdir "$WORK/rules"
cp -a /usr/lib/udev/rules.d/. "$WORK/rules/"
cp "$installed" "$WORK/rules/"
unshare -m --propagation private sh -c \
    'mount --bind "$1" /usr/lib/udev/rules.d && "$2" "$3"' sh "$WORK/rules" "$CHECK" "$RULE"
