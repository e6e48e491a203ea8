#!/usr/bin/env bash
# Builds the Debian package with CPack and proves that it installs and works on a clean
# Debian 12 system:
#   1. a minimal Debian 12 root is made with debootstrap (kept in build-perf-package/debian12-base.tar
#      for later runs), holding nothing of ours and no Qt;
#   2. the .deb is installed there with apt, which must pull in every dependency it declares;
#   3. inside that root, px417-meter-sim and px417 (offscreen) are started from /usr/bin; the
#      reader must find the simulated meter by itself, open its line (the meter sees its line
#      settings change), and stay up while the whole download is sent to it.
# It does not look at the table's contents: decoding is covered by the test suite.
# What it proves: the package's file list, its declared dependencies (nothing is borrowed from
# this machine), the desktop entry and icon, and that the installed programs run.
# Needs root (debootstrap, chroot, mounts) and network access to the Debian archive.
# Usage: scripts/package-test.sh [--host]   (--host: dpkg -i on this machine instead of a root)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${PACKAGE_BUILD_DIR:-$ROOT/build-perf-package}"
MODE="${1:-chroot}"

need() { command -v "$1" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$2"; }
need cmake cmake
need ninja ninja-build
need dpkg-shlibdeps dpkg-dev

echo "== building the package"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DPX417_BUILD_TESTS=OFF -DPX417_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target px417 px417-meter-sim
rm -f "$BUILD"/px417_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
DEB="$(ls "$BUILD"/px417_*.deb)"
echo "package: $DEB"
dpkg-deb --field "$DEB" Package Version Depends
echo "files:"
dpkg-deb --contents "$DEB" | awk '{print "  " $6}' | grep -v '/$'
expected=$'./usr/bin/px417\n./usr/bin/px417-meter-sim\n./usr/lib/px417/px417-cli\n./usr/lib/px417/px417-window\n./usr/lib/udev/rules.d/70-px417.rules\n./usr/share/applications/px417.desktop\n./usr/share/doc/px417/changelog.gz\n./usr/share/doc/px417/copyright\n./usr/share/icons/hicolor/scalable/apps/px417.svg\n./usr/share/man/man1/px417-meter-sim.1.gz\n./usr/share/man/man1/px417.1.gz\n./usr/share/metainfo/org.example.px417.metainfo.xml'
actual="$(dpkg-deb --contents "$DEB" | awk '{print $6}' | grep -v '/$' | sort)"
[ "$actual" = "$(sort <<<"$expected")" ] || { echo "FAIL: unexpected file list"; exit 1; }

# The check that runs inside the installed system: the programs from /usr/bin only.
CHECK='set -eu
export XDG_RUNTIME_DIR=$(mktemp -d) QT_QPA_PLATFORM=offscreen
desktop-file-validate /usr/share/applications/px417.desktop 2>/dev/null || true
grep -q "^Exec=px417$" /usr/share/applications/px417.desktop
sim_out=$(mktemp); shot=/tmp/px417-package-shot.png
px417-meter-sim --speed 0 --exit-after >"$sim_out" 2>&1 &
sim=$!
for i in $(seq 50); do [ -s "$sim_out" ] && break; sleep 0.1; done
head -n1 "$sim_out" | grep -q "/px417/ports/" || { cat "$sim_out"; echo "FAIL: no simulated meter"; exit 1; }
# The reader is asked nothing: it runs with a time limit and the meter tells whether it read.
timeout 8 px417 >/tmp/px417.log 2>&1 &
reader=$!
wait $sim || { cat "$sim_out"; echo "FAIL: the simulated meter failed"; exit 1; }
grep -q "a reader opened the line" "$sim_out" || { cat "$sim_out"; echo "FAIL: px417 did not open the line"; exit 1; }
grep -q "download sent" "$sim_out" || { cat "$sim_out"; echo "FAIL: no download sent"; exit 1; }
if ! kill -0 $reader 2>/dev/null; then cat /tmp/px417.log; echo "FAIL: px417 exited early"; exit 1; fi
kill $reader; wait $reader 2>/dev/null || true
echo "px417 started, found the simulated meter, opened its line and stayed up during the download"
'

if [ "$MODE" = "--host" ]; then
    echo "== installing on this machine (dpkg -i, then apt-get -f install)"
    dpkg -i "$DEB" || true
    DEBIAN_FRONTEND=noninteractive apt-get -f install -y -q
    bash -c "$CHECK"
    exit 0
fi

need debootstrap debootstrap
BASE="$BUILD/debian12-base.tar"
JAIL="$BUILD/debian12-root"
cleanup() {
    for m in dev/pts dev proc; do umount "$JAIL/$m" 2>/dev/null || true; done
}
trap cleanup EXIT
cleanup
rm -rf "$JAIL"
mkdir -p "$JAIL"
if [ -f "$BASE" ]; then
    tar -xf "$BASE" -C "$JAIL"
else
    echo "== making a minimal Debian 12 root (once; kept in $BASE)"
    # The same archive this machine's apt uses.
    mirror=$(grep -h -m1 -E '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}')
    [ -n "$mirror" ] || mirror=$(grep -h -m1 -E '^deb ' /etc/apt/sources.list 2>/dev/null | awk '{print $2}')
    [ -n "$mirror" ] || { echo "no Debian archive in this machine's apt sources" >&2; exit 1; }
    debootstrap --variant=minbase bookworm "$JAIL" "$mirror" >/dev/null
    tar -cf "$BASE" -C "$JAIL" .
fi
mount -t proc proc "$JAIL/proc"
mount --bind /dev "$JAIL/dev"
mount --bind /dev/pts "$JAIL/dev/pts"
cp /etc/resolv.conf "$JAIL/etc/resolv.conf"
cp "$DEB" "$JAIL/tmp/"
if chroot "$JAIL" dpkg -s libqt6core6 >/dev/null 2>&1; then
    echo "FAIL: the clean root already has Qt"; exit 1
fi
echo "== installing the package into the clean root with apt"
chroot "$JAIL" apt-get update -q >/dev/null
chroot "$JAIL" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "/tmp/$(basename "$DEB")" >/dev/null
chroot "$JAIL" bash -c "$CHECK"
echo "PASS: the package installs on a clean Debian 12 root and the reader runs from it"
