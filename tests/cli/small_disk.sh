#!/bin/bash
# A small file system for the velmar-db tests that fill a disk:
#   small_disk.sh mount DIR     mounts a 256 KiB tmpfs on DIR and marks it
#   small_disk.sh unmount DIR   unmounts it again
# Mounting needs root. Without it the folder stays unmarked and the test
# step that needs the disk says that it was skipped, and why.
set -u
action=$1 dir=$2
case $action in
  mount)
    mkdir -p "$dir"
    mountpoint -q "$dir" && umount "$dir"
    if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=256k velmar-small-disk "$dir" 2>/dev/null; then
      echo small > "$dir/velmar-small-disk"
      echo "small disk mounted on $dir"
    else
      echo "no small disk: mounting a tmpfs needs root"
    fi
    ;;
  unmount)
    if mountpoint -q "$dir"; then umount "$dir"; fi
    ;;
  *) echo "usage: $0 mount|unmount DIR" >&2; exit 2 ;;
esac
exit 0
