# shellcheck shell=bash
# Sourced by the save benchmarks: a fresh ext4 image with a journal
# (mkfs.ext4's defaults, as desktop installers make it), loop-mounted at
# WORK/mnt. Sets `mounted` to the mount point, or leaves it empty and says
# why; the caller unmounts it (umount "$mounted") when it is done.
mount_ext4_image() {
  local work=$1
  mounted=
  if [ "$(id -u)" -ne 0 ] || ! command -v mkfs.ext4 >/dev/null; then
    echo "(no ext4 image: that needs root and mkfs.ext4)" >&2
    return 1
  fi
  mkdir "$work/mnt"
  truncate -s 1G "$work/ext4.img"
  if ! mkfs.ext4 -q -F "$work/ext4.img" || ! mount -o loop "$work/ext4.img" "$work/mnt"; then
    echo "(no ext4 image: it could not be made or mounted)" >&2
    return 1
  fi
  mounted="$work/mnt"
}
