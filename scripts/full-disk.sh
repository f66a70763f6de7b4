#!/bin/sh
# full-disk.sh mount|unmount DIR
# A small tmpfs for the tests of saves on a full disk. Mounting needs root;
# without it the directory stays a plain one and those tests skip.
action=$1
dir=$2
mkdir -p "$dir"
if mountpoint -q "$dir"; then
  umount "$dir" 2>/dev/null || umount -l "$dir" 2>/dev/null
fi
if [ "$action" = mount ]; then
  if mount -t tmpfs -o size=256k tmpfs "$dir" 2>/dev/null; then
    touch "$dir/.vexil-tmpfs"
  else
    echo "full-disk: cannot mount a tmpfs at $dir (not root?); the full-disk tests will skip"
  fi
fi
exit 0
