#!/usr/bin/env bash
# Runs the guest test binary against a real USB meter: a virtual machine on Debian's own kernel,
# where a USB gadget (dummy_hcd, one CDC-ACM function) plays the meter. The host side of the
# gadget is the kernel's cdc_acm /dev/ttyACM0, described by the real udevd with the reader's
# udev rule installed; the meter's side is /dev/ttyGS0.
#
# usage: usb-vm-test.sh <work folder> <guest test binary> <udev rule>
#
# The kernel package is fetched with apt-get download and unpacked into <work folder>/kernel
# (kept there, so a rerun fetches nothing); nothing is installed into /boot or /lib/modules. The
# guest sees the host's root read-only over 9p under a tmpfs layer, so everything it runs comes
# from the host; it reports through <work folder>/results. Where the machine cannot start, the
# test says why and is skipped (exit 77).
set -euo pipefail

WORK="$(mkdir -p "${1:?usage: usb-vm-test.sh <work folder> <guest test> <udev rule>}" && realpath "$1")"
GUEST_TEST="$(realpath "${2:?guest test binary}")"
RULE="$(realpath "${3:?udev rule}")"
HERE="$(cd "$(dirname "$0")" && pwd)"
# Bounds under a loaded two-core machine, within the test's own timeout of 300 s with room for a
# first run's kernel fetch: the guest's tests must end by GUEST_SECONDS after they start, the
# whole machine by MACHINE_SECONDS.
GUEST_SECONDS=170
MACHINE_SECONDS=240
BUSYBOX=/bin/busybox
UDEVD=/lib/systemd/systemd-udevd

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ "$(uname -m)" = x86_64 ] || skip "the guest is an amd64 machine; this host is $(uname -m)"
[ "$(dpkg --print-architecture 2>/dev/null)" = amd64 ] || skip "no amd64 kernel package for this host"
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed (qemu-system-x86)"
"$BUSYBOX" --list 2>/dev/null | grep -qx switch_root || skip "$BUSYBOX is not there (busybox-static)"
[ -x "$UDEVD" ] || skip "$UDEVD is not installed (udev)"
command -v Xvfb >/dev/null || skip "Xvfb is not installed (xvfb)"
[ -x "$GUEST_TEST" ] || fail "$GUEST_TEST is not built"

# --- The kernel: the package linux-image-amd64 depends on, unpacked and trimmed to what the
# guest loads.
KERNEL="$WORK/kernel"
kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null |
        awk '$1 == "Depends:" && $2 ~ /^linux-image-[0-9]/ { print $2; exit }'
}
if [ ! -f "$KERNEL/ready" ]; then
    package="$(kernel_package)"
    if [ -z "$package" ] && [ "$(id -u)" -eq 0 ]; then
        apt-get update -q >/dev/null 2>&1 || true
        package="$(kernel_package)"
    fi
    [ -n "$package" ] || skip "apt knows no kernel package for linux-image-amd64"
    rm -rf "$KERNEL.new"
    mkdir -p "$KERNEL.new"
    echo "Fetching $package (once; kept in $KERNEL)"
    (cd "$KERNEL.new" && apt-get download -q "$package" >/dev/null 2>&1) ||
        skip "apt-get download $package failed (no network or no package source?)"
    dpkg-deb -x "$KERNEL.new"/*.deb "$KERNEL.new/root"
    version="$(ls "$KERNEL.new/root/lib/modules")"
    # The boot image is a small decompressor followed by the xz-packed kernel, which qemu boots
    # directly (PVH) once unpacked.
    image="$KERNEL.new/root/boot/vmlinuz-$version"
    offset="$(grep -abo $'\xfd7zXZ' "$image" | head -1 | cut -d: -f1)"
    # xz stops at the end of its stream, so tail may die of a broken pipe: check the result.
    tail -c "+$((offset + 1))" "$image" | xz -dcq --single-stream >"$KERNEL.new/vmlinux" || true
    [ "$(head -c 4 "$KERNEL.new/vmlinux")" = $'\x7fELF' ] ||
        fail "cannot unpack the kernel out of $image"
    modules="$KERNEL.new/root/lib/modules/$version"
    mv "$modules" "$KERNEL.new/all-modules"
    mkdir -p "$modules/kernel"
    for part in drivers/usb drivers/virtio net/9p fs/9p fs/netfs fs/fscache fs/overlayfs \
        fs/configfs; do
        mkdir -p "$modules/kernel/$(dirname "$part")"
        mv "$KERNEL.new/all-modules/kernel/$part" "$modules/kernel/$part"
    done
    cp "$KERNEL.new/all-modules"/modules.builtin* "$KERNEL.new/all-modules/modules.order" "$modules/"
    "$BUSYBOX" depmod -b "$KERNEL.new/root" "$version"
    rm -rf "$KERNEL.new/all-modules" "$KERNEL.new/root/boot" "$KERNEL.new/root/usr" \
        "$KERNEL.new"/*.deb
    echo "$version" >"$KERNEL.new/ready"
    rm -rf "$KERNEL"
    mv "$KERNEL.new" "$KERNEL"
fi
VERSION="$(cat "$KERNEL/ready")"
MODULES="$KERNEL/root/lib/modules/$VERSION"

# --- The initramfs: busybox, the modules that mount the host's root, and the first process.
INITRD="$WORK/initramfs"
rm -rf "$INITRD" "$WORK/initramfs.cpio.gz"
mkdir -p "$INITRD/bin" "$INITRD/lib/modules/$VERSION"
cp "$BUSYBOX" "$INITRD/bin/busybox"
cp "$HERE/guest-init.sh" "$INITRD/init"
cp "$MODULES/modules.dep" "$INITRD/lib/modules/$VERSION/"
for module in virtio_pci 9pnet_virtio 9p overlay; do
    awk -v m="/$module.ko:" 'index($0, m) { sub(":", ""); print }' "$MODULES/modules.dep" |
        tr ' ' '\n' | while read -r file; do
        [ -n "$file" ] || continue
        mkdir -p "$INITRD/lib/modules/$VERSION/$(dirname "$file")"
        cp "$MODULES/$file" "$INITRD/lib/modules/$VERSION/$file"
    done
done
(cd "$INITRD" && find . | "$BUSYBOX" cpio -o -H newc 2>/dev/null | gzip -1 >"$WORK/initramfs.cpio.gz")

# --- The machine. Its console goes to console.log; the session reports in results/.
RESULTS="$WORK/results"
rm -rf "$RESULTS"
mkdir -p "$RESULTS"
cat >"$RESULTS/session.env" <<ENV
PX417_KVER=$VERSION
PX417_KMODULES=$MODULES
PX417_RULE=$RULE
PX417_GUEST_TEST=$GUEST_TEST
PX417_GUEST_SECONDS=$GUEST_SECONDS
ENV

# This machine's KVM cannot run a stock kernel (the boot ends in an emulation failure), so the
# guest runs under TCG.
started=$SECONDS
set +e
timeout "$MACHINE_SECONDS" qemu-system-x86_64 \
    -accel tcg,thread=multi -cpu max -smp 2 -m 1024 \
    -display none -monitor none -serial "file:$RESULTS/console.log" -no-reboot \
    -kernel "$KERNEL/vmlinux" -initrd "$WORK/initramfs.cpio.gz" \
    -append "console=ttyS0 panic=-1 quiet px417_session=$HERE/guest-session.sh" \
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$RESULTS,mount_tag=results,security_model=none" \
    >"$RESULTS/qemu.log" 2>&1
machine=$?
set -e
echo "The machine ran for $((SECONDS - started)) s (qemu status $machine)."

[ -f "$RESULTS/session.log" ] && cat "$RESULTS/session.log"
[ -f "$RESULTS/guest.log" ] && cat "$RESULTS/guest.log"
if [ ! -f "$RESULTS/status" ]; then
    echo "--- qemu:"; cat "$RESULTS/qemu.log"
    echo "--- console (last lines):"; tail -n 40 "$RESULTS/console.log" 2>/dev/null
    [ "$machine" -eq 124 ] && fail "the machine did not finish within $MACHINE_SECONDS s"
    fail "the guest ended without a result"
fi
status="$(cat "$RESULTS/status")"
[ "$status" -eq 0 ] || fail "the guest's tests ended with status $status"
echo "The guest's tests passed."
