#!/bin/sh
# Takes the published screenshots with the program's own script, on a scratch copy of the kit so
# the run's option files never land in the kit.
# Usage: take_screenshots.sh PROGRAM KIT_DIR SCRIPT OUT_DIR
set -eu
program=$1 kit=$2 script=$3 out=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$kit/." "$work/kit"
rm -f "$work/kit/radevir"
mkdir -p "$out"
cd "$out"
status=0
# a sanitizer build's leak report at exit is no failure of the pictures
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
QT_QPA_PLATFORM=offscreen "$program" --data "$work/kit" --settings "$work/settings.ini" \
  --script "$script" --size 1024x768 --audio null || status=$?
# 0: the script left the program, 3: the script ended first; both took their pictures
if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
  echo "take_screenshots: the program failed ($status)" >&2
  exit 1
fi
