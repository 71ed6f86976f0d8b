# Makes udev read its rules again and replay the USB devices (not their
# interfaces) plugged in now, so a board that is plugged in follows the rule at
# once, without being plugged in again. Skipped where no udev runs: in a chroot,
# a container without udev, or while the system is installed.
chrooted() {
    [ "$(stat -c %d/%i /)" != "$(stat -Lc %d/%i /proc/1/root 2>/dev/null)" ]
}
reload_udev() {
    if [ -d /run/udev ] && command -v udevadm >/dev/null 2>&1 && ! chrooted; then
        udevadm control --reload-rules || true
        udevadm trigger --subsystem-match=usb --property-match=DEVTYPE=usb_device --action=change || true
    fi
}
