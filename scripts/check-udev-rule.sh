#!/usr/bin/env bash
# Checks the meter's udev rule with the device manager's own rule engine (udevadm test), on
# made-up terminals: two with the meter's USB ids, one with the meter's product name under
# another product id, and two other adapters (one of the meter's vendor). It checks that the
# file parses without a complaint, that the meter's terminals get ID_MM_DEVICE_IGNORE=1 and the
# uaccess tag early enough for the system's seat rules to grant access, and that the other
# adapters get neither. It cannot check a real plug-in.
#
# udevadm test reads /sys and the rules folders, and writes its database under /run and links
# under /dev: it runs in a private mount namespace with a made-up /sys, the rule alone in
# /etc/udev/rules.d, and empty /run and /dev, so the machine is left as it was. The system's
# other rules folders are read from copies without any file of the rule's name, so that an
# installed package's copy neither stands in for the rule under test nor is reported as
# overridden by it. That needs root; without it, or without udevadm, the check is skipped
# (exit 77).
set -euo pipefail

RULE="$(realpath "${1:?usage: check-udev-rule.sh <rules file>}")"
NAME="$(basename "$RULE")"

skip() { echo "SKIPPED: $*"; exit 77; }
command -v udevadm >/dev/null || skip "udevadm is not installed"
command -v unshare >/dev/null || skip "unshare is not installed"
[ "$(id -u)" -eq 0 ] || skip "needs root for a private mount namespace"
unshare -m true 2>/dev/null || skip "no private mount namespace here"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
SYS="$WORK/sys"
mkdir -p "$WORK/rules" "$SYS/bus/usb" "$SYS/class/tty"
cp "$RULE" "$WORK/rules/"

# terminal <name> <usb port> <vendor> <product> <major:minor> <product string>: a USB device
# with one CDC interface that carries the terminal, as the kernel shows a USB serial adapter,
# with what the system's serial rules read to describe it.
terminal() {
    local name=$1 port=$2 vendor=$3 product=$4 devno=$5 label=$6
    local usb="devices/pci0000:00/0000:00:14.0/usb1/$port"
    local tty="$usb/$port:1.0/tty/$name"
    mkdir -p "$SYS/$tty"
    echo "$vendor" >"$SYS/$usb/idVendor"
    echo "$product" >"$SYS/$usb/idProduct"
    echo "$label" >"$SYS/$usb/product"
    printf '02\n' >"$SYS/$usb/$port:1.0/bInterfaceClass"
    printf '02\n' >"$SYS/$usb/$port:1.0/bInterfaceSubClass"
    printf '01\n' >"$SYS/$usb/$port:1.0/bInterfaceProtocol"
    printf '00\n' >"$SYS/$usb/$port:1.0/bInterfaceNumber"
    printf 'DEVTYPE=usb_device\n' >"$SYS/$usb/uevent"
    printf 'DEVTYPE=usb_interface\n' >"$SYS/$usb/$port:1.0/uevent"
    ln -s "$SYS/bus/usb" "$SYS/$usb/subsystem"
    ln -s "$SYS/bus/usb" "$SYS/$usb/$port:1.0/subsystem"
    printf 'MAJOR=%s\nMINOR=%s\nDEVNAME=%s\n' "${devno%:*}" "${devno#*:}" "$name" >"$SYS/$tty/uevent"
    echo "$devno" >"$SYS/$tty/dev"
    ln -s "$SYS/class/tty" "$SYS/$tty/subsystem"
    ln -s "../../$tty" "$SYS/class/tty/$name"
}
meters="ttyACM0 ttyACM1 ttyACM2 ttyACM4"
terminal ttyACM0 1-1 2341 0045 166:0 "USB Serial"
terminal ttyACM1 1-2 2341 003b 166:1 "Arduino USB Serial Light Adapter"
terminal ttyACM2 1-4 2341 0043 166:2 "QT570R Arduino USB Serial Light Adapter"
terminal ttyACM3 1-5 2341 0043 166:3 "Arduino Uno"
terminal ttyACM4 1-6 2341 0043 166:4 "Arduino_USB_Serial_Light_Adapter"
terminal ttyUSB0 1-3 0403 6001 188:0 "FT232R USB UART"

# Links inside the made-up tree must point into /sys once it is mounted there.
find "$SYS" -type l | while read -r link; do
    target="$(readlink "$link")"
    case "$target" in "$SYS"*) ln -sfn "/sys${target#"$SYS"}" "$link" ;; esac
done

# Pairs of a private copy and the system's folder it stands in for; a folder reached twice (a
# merged /usr makes /lib/udev the same as /usr/lib/udev) is copied once.
system_rules=()
for dir in /usr/lib/udev/rules.d /usr/local/lib/udev/rules.d /lib/udev/rules.d; do
    [ -d "$dir" ] || continue
    real="$(realpath "$dir")"
    [[ " ${system_rules[*]} " == *" $real "* ]] && continue
    copy="$WORK/system${#system_rules[@]}"
    mkdir -p "$copy"
    cp -a "$real/." "$copy/"
    rm -f "$copy/$NAME"
    system_rules+=("$copy" "$real")
done

run() {
    unshare -m --propagation private sh -c '
        work=$1 tty=$2; shift 2
        while [ $# -gt 0 ]; do mount --bind "$1" "$2" || exit 1; shift 2; done
        mount -t tmpfs none /run && mount -t tmpfs none /dev &&
        mount --bind "$work/rules" /etc/udev/rules.d && mount --bind "$work/sys" /sys &&
        SYSTEMD_DEVICE_VERIFY_SYSFS=0 udevadm test --action=add "/sys/class/tty/$tty"' \
        sh "$WORK" "$1" "${system_rules[@]}" 2>&1
}

failed=0
fail() { echo "FAIL: $*"; failed=1; }

for tty in ttyACM0 ttyACM1 ttyACM2 ttyACM3 ttyACM4 ttyUSB0; do
    out="$(run "$tty")" || { echo "$out"; fail "udevadm test failed for $tty"; continue; }
    grep -q "Reading rules file: /etc/udev/rules.d/$NAME" <<<"$out" || fail "$NAME was not read"
    if complaints="$(grep -F "$NAME" <<<"$out" | grep -v "Reading rules file")"; then
        fail "complaints about $NAME:"$'\n'"$complaints"
    fi
    meter=0
    [[ " $meters " == *" $tty "* ]] && meter=1
    for expected in "^ID_MM_DEVICE_IGNORE=1$" "^TAGS=.*:uaccess:" "^run: 'uaccess'"; do
        if grep -q "$expected" <<<"$out"; then found=1; else found=0; fi
        if [ "$found" -ne "$meter" ]; then
            [ "$meter" -eq 1 ] && fail "$tty (a meter) lacks $expected" ||
                fail "$tty (not a meter) has $expected"
        fi
    done
done

if [ "$failed" -ne 0 ]; then exit 1; fi
echo "udev rule $NAME: parses cleanly; meter terminals get ID_MM_DEVICE_IGNORE=1 and uaccess, others neither"
