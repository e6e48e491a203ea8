#!/bin/busybox sh
# The guest's first process, from its initramfs: mounts the host's root read-only over 9p with a
# writable tmpfs layer on top, and hands over to the session script named on the kernel command
# line (px417_session=...). switch_root, not chroot: in a chroot udevd ignores settle and
# control requests.
/bin/busybox --install -s /bin
mkdir -p /proc /sys /dev /lower /rw /newroot
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

for module in virtio_pci 9pnet_virtio 9p overlay; do
    modprobe "$module" || echo "px417 guest: cannot load $module"
done
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=512000,cache=loose hostroot /lower &&
    mount -t tmpfs -o mode=0755 tmpfs /rw &&
    mkdir -p /rw/upper /rw/work &&
    mount -t overlay -o lowerdir=/lower,upperdir=/rw/upper,workdir=/rw/work overlay /newroot ||
    { echo "px417 guest: cannot mount the host's root"; poweroff -f; }

for fs in proc sys dev; do
    mount --move "/$fs" "/newroot/$fs"
done
exec switch_root /newroot /bin/bash "$px417_session"
