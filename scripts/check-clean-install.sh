#!/usr/bin/env bash
# Installs the Debian package on a minimal Debian 12 system, as a school's administrator would
# (apt-get install ./radevir_*.deb, with its Recommends), and uses it as a teacher with a fresh
# account: --help, --speak into a wave file, --worksheet, a scripted menu picture and the
# editor's spelling check (F7). The same pictures are taken with this build's program; the
# menu must be identical, the editor's are compared (see below). Run as root (the minimal system is made with mmdebstrap and entered with
# chroot); it takes a few minutes and fetches about 300 MB from the Debian mirror.
# Usage: scripts/check-clean-install.sh [PACKAGE.deb] [OUT_DIR]
#   PACKAGE.deb  default: the newest build/default/radevir_*.deb (cpack) or ../radevir_*.deb
#   OUT_DIR      where the pictures, outputs and the log stay (default: build/clean-install)
# MIRROR (environment) replaces http://deb.debian.org.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

if [ "$(id -u)" -ne 0 ]; then
  echo "check-clean-install: run as root (mmdebstrap and chroot)" >&2
  exit 2
fi
deb=${1:-$(ls -t build/default/radevir_*.deb ../radevir_*.deb 2>/dev/null | head -n 1 || true)}
out=$(realpath -m "${2:-build/clean-install}")
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
  echo "check-clean-install: no package; build one (README, Install) or name it" >&2
  exit 2
fi
deb=$(realpath "$deb")
kit=$repo/build/default/bin
if [ ! -x "$kit/radevir" ]; then
  echo "check-clean-install: build the program first (cmake --build --preset default)" >&2
  exit 2
fi
if ! command -v mmdebstrap >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=600 update
  apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends mmdebstrap
fi

mirror=${MIRROR:-http://deb.debian.org}
rm -rf "$out"
mkdir -p "$out/clean" "$out/build"
work=$(mktemp -d)
root=$work/root
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" || true; done
  rm -rf "$work"
}
trap cleanup EXIT
log() { echo "check-clean-install: $*"; }

log "making a minimal Debian 12 system"
mmdebstrap --variant=apt bookworm "$root" \
  "deb $mirror/debian bookworm main" \
  "deb $mirror/debian bookworm-updates main" \
  "deb $mirror/debian-security bookworm-security main" >"$out/mmdebstrap.log" 2>&1
for fs in proc sys dev dev/pts; do
  mount --bind "/$fs" "$root/$fs"
  mounted+=("$root/$fs")
done
mount -t tmpfs tmpfs "$root/dev/shm"  # the web engine's shared memory
mounted+=("$root/dev/shm")
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"

log "installing $(basename "$deb") with its Recommends"
start=$(date +%s)
chroot "$root" apt-get update >"$out/install.log" 2>&1
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y --install-recommends \
  "/tmp/$(basename "$deb")" >>"$out/install.log" 2>&1
log "installed in $(($(date +%s) - start)) s"

# The teacher's files and scripts, the same on both sides.
write_inputs() {
  local home=$1
  mkdir -p "$home"
  printf 'Rechenaufgaben für die Klase 3\r\n3+4=7\r\n12+35=47\r\n' >"$home/Aufgaben.txt"
  cat >"$home/menu.script" <<'EOF'
wait 500
screenshot menu.png
key Esc
key j
EOF
  # F7 marks "Klase"; closing asks whether to save the marked text (Qt's buttons in German)
  cat >"$home/spelling.script" <<'EOF'
key F7
wait 500
screenshot spelling.png
close
wait 300
screenshot question.png
quit
EOF
}

# As the teacher in the clean system: a login's environment, no display.
teacher=lehrerin
chroot "$root" useradd --create-home --shell /bin/bash "$teacher"
home=/home/$teacher
write_inputs "$root$home"
chroot "$root" chown -R "$teacher:$teacher" "$home"
as_teacher() {
  chroot --userspec="$teacher:$teacher" "$root" env -i HOME="$home" USER="$teacher" \
    PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 sh -c "cd $home && timeout $limit $1"
}
# a run that does not end by itself is stopped (exit 124) after this many seconds
limit=120
failures=0
expect() {  # expect EXIT_CODES WHAT COMMAND
  local codes=$1 what=$2 status=0
  as_teacher "$3" >>"$out/clean/$what.log" 2>&1 || status=$?
  if [[ " $codes " == *" $status "* ]]; then
    log "$what: ok ($status)"
  else
    log "$what: FAILED with $status (see $out/clean/$what.log)"
    failures=$((failures + 1))
  fi
}
run_size="--size 1024x768 --audio null --seed 1"
expect 0 help "radevir --help"
expect 0 menu "radevir --script menu.script $run_size"
expect 0 speak "radevir --audio disk:gesprochen.wav --speak '12 + 35 ='"
expect 0 worksheet "radevir --worksheet \".local/share/Zoze/radevir/Aufgaben/Kopfrechnen/Plus bis 10.txt\" --print-to Blätter"
# The script's "quit" does not end a run while the editor opened by --edit is open: the run is
# stopped once its pictures are taken.
expect "3 124" spelling "radevir --edit Aufgaben.txt --script spelling.script $run_size"
as_teacher "radevir --help" >"$out/clean/help.txt" 2>&1 || true
cp "$root$home"/*.png "$root$home/gesprochen.wav" "$out/clean/" 2>/dev/null || true
cp -r "$root$home/Blätter" "$out/clean/" 2>/dev/null || true
if ! head -c 4 "$out/clean/gesprochen.wav" 2>/dev/null | grep -q RIFF; then
  log "speak: gesprochen.wav is no wave file"
  failures=$((failures + 1))
fi
if ! ls "$out/clean/Blätter/"*.pdf >/dev/null 2>&1; then
  log "worksheet: no PDF written"
  failures=$((failures + 1))
fi

log "taking the same pictures with this build's program"
# The teacher's home under the same name as in the clean system (the editor's question names
# the file), in a mount namespace of its own so this machine's /home stays as it is.
homes=$work/homes
bhome=$homes/$teacher
write_inputs "$bhome"
cp -r "$kit/." "$bhome/kit"
rm -f "$bhome/kit/radevir" "$bhome/kit/radevir-worksheet" "$bhome/kit/aktuell.opt" "$bhome/kit/"*.RTT
for what in menu spelling; do
  args="--script $what.script --size 1024x768 --audio null --seed 1"
  [ "$what" = spelling ] && args="--edit Aufgaben.txt $args"
  unshare --mount --propagation private sh -c "mount --bind '$homes' /home && cd '$home' &&
    env -i HOME='$home' PATH=/usr/bin:/bin LANG=C.UTF-8 timeout $limit '$kit/radevir' \
      --data '$home/kit' --settings '$home/settings.ini' $args" >"$out/build/$what.log" 2>&1 || true
done
cp "$bhome"/*.png "$out/build/"

# The program's own screens must be identical. The editor's pictures are compared and reported:
# its font box sizes itself to the longest font name of the machine, so on a machine with other
# fonts installed the tool bar beside it moves.
for picture in menu.png spelling.png question.png; do
  if cmp -s "$out/clean/$picture" "$out/build/$picture"; then
    log "$picture: identical to this build's"
  elif [ "$picture" = menu.png ]; then
    log "$picture: DIFFERS from this build's ($out/clean/$picture, $out/build/$picture)"
    failures=$((failures + 1))
  else
    log "$picture: differs from this build's; look at both ($out/clean/$picture, $out/build/$picture)"
  fi
done
if [ "$failures" -ne 0 ]; then
  log "$failures check(s) failed"
  exit 1
fi
log "all checks passed; pictures and outputs in $out"
