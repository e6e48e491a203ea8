#!/bin/bash
# The guest's session, run as its first process once it has switched to the host's root: loads
# the USB modules of the host's unpacked kernel, starts udevd with the reader's rule installed,
# prepares the meter's USB gadget (left unplugged), starts Xvfb and runs the guest test binary.
# Everything it reports lands in the 9p-shared results folder; then the machine powers off.
set -u
RESULTS=/px417-results
mount -t tmpfs -o mode=0755 tmpfs /run
# The host's /tmp shows through the overlay, writable in the guest alone: a checkout or build
# folder may live there. Only the display this session takes must be free of the host's leftovers.
rm -f /tmp/.X1-lock /tmp/.X11-unix/X1
mkdir -p /dev/pts /dev/shm "$RESULTS"
mount -t devpts -o gid=5,mode=620,ptmxmode=666 devpts /dev/pts
mount -t tmpfs -o mode=1777 tmpfs /dev/shm
mount -t 9p -o trans=virtio,version=9p2000.L results "$RESULTS"
# shellcheck source=/dev/null
source "$RESULTS/session.env"

say() { echo "[guest $(cut -d' ' -f1 /proc/uptime)s] $*" | tee -a "$RESULTS/session.log"; }
finish() {
    echo "$1" >"$RESULTS/status"
    sync
    umount "$RESULTS"
    busybox poweroff -f
}
step() { "$@" >>"$RESULTS/session.log" 2>&1 || { say "failed: $*"; finish 90; }; }

say "session started"

# The kernel's modules, unpacked on the host, where the guest's tools look for them.
mkdir -p "/lib/modules/$PX417_KVER"
step mount --bind "$PX417_KMODULES" "/lib/modules/$PX417_KVER"
for module in configfs libcomposite usb_f_acm dummy_hcd cdc-acm; do
    step busybox modprobe "$module"
done
step mount -t configfs configfs /sys/kernel/config

mkdir -p /etc/udev/rules.d
step cp "$PX417_RULE" /etc/udev/rules.d/
step /lib/systemd/systemd-udevd --daemon
step udevadm trigger --action=add
step udevadm settle --timeout=60
say "udevd running"

# One CDC-ACM function in one configuration; the test sets the ids and binds it.
gadget=/sys/kernel/config/usb_gadget/meter
step mkdir -p "$gadget/strings/0x409" "$gadget/configs/c.1" "$gadget/functions/acm.usb0"
echo 0x0200 >"$gadget/bcdUSB"
echo 0x0100 >"$gadget/bcdDevice"
echo 120 >"$gadget/configs/c.1/MaxPower"
step ln -s "$gadget/functions/acm.usb0" "$gadget/configs/c.1/"

Xvfb :1 -screen 0 1280x1024x24 -nolisten tcp -dpi 96 >>"$RESULTS/session.log" 2>&1 &
for _ in $(seq 600); do [ -S /tmp/.X11-unix/X1 ] && break; sleep 0.1; done
[ -S /tmp/.X11-unix/X1 ] || { say "Xvfb did not start"; finish 91; }
say "Xvfb running"

export DISPLAY=:1 QT_QPA_PLATFORM=xcb HOME=/root XDG_RUNTIME_DIR=/run/user/0
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
export PX417_USB_GADGET="$gadget" PX417_USB_UDC=dummy_udc.0
timeout "$PX417_GUEST_SECONDS" "$PX417_GUEST_TEST" >"$RESULTS/guest.log" 2>&1
status=$?
say "guest test ended with status $status"
finish "$status"
