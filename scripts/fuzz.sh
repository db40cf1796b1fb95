#!/usr/bin/env bash
# Builds the fuzz preset (clang, ASan + UBSan, libFuzzer) and runs every fuzz target in turn for
# SECONDS each (default 60), niced, one at a time. Each target grows its own corpus in
# build/fuzz/corpus/<target>, seeded from fuzz/corpus and the data kit (the default build's kit
# when it exists). Prints the executions per target and every crash with its reproducer.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 1800 speak task_file
# FUZZ_RUNS caps the executions per target (default 10000000); FUZZ_JOBS the build jobs (2).
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
root=$PWD
kit=${RADEVIR_FUZZ_KIT:-$root/build/default/bin}
runs=${FUZZ_RUNS:-10000000}

# target | dictionary | seed folders (those that do not exist are skipped)
table="
wave_parser||fuzz/corpus/wave $kit/wavs
wave_decode|wave.dict|fuzz/corpus/wave $kit/wavs
join_line||fuzz/corpus/join
list_file||fuzz/corpus/text data/kit/Aufgaben
text_decode||fuzz/corpus/text
script_and_command_line|script.dict|fuzz/corpus/script
hundred_board||fuzz/corpus/board
mouse_regions||data/kit/maustxt
task_line|task_line.dict|fuzz/corpus/task_line fuzz/corpus/board
task_file|task_line.dict|data/kit/Aufgaben
option_file||fuzz/corpus/options
recent_files||fuzz/corpus/recent
chooser_fonts|chooser_fonts.dict|fuzz/corpus/fonts
sound_table|sound_table.dict|fuzz/corpus/sound_table
speak|speak.dict|fuzz/corpus/speak fuzz/corpus/task_line
metafile||$kit/emfs
picture|picture.dict|fuzz/corpus/picture $kit/bitplane
control_file||fuzz/corpus/control_file
worksheet|worksheet.dict|fuzz/corpus/worksheet fuzz/corpus/task_line
rtf|rtf.dict|fuzz/corpus/rtf
print_options||fuzz/corpus/print_options data/kit/Aufgaben
printer_text||fuzz/corpus/printer"

wanted=("$@")
selected=()
while IFS='|' read -r name dict seeds; do
  [ -z "$name" ] && continue
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " == *" $name "* ]]; then continue; fi
  selected+=("$name|$dict|$seeds")
done <<< "$table"
[ ${#selected[@]} -eq 0 ] && { echo "no such target: ${wanted[*]}" >&2; exit 2; }

targets=()
for entry in "${selected[@]}"; do targets+=("fuzz_${entry%%|*}"); done
# Several runs of this script may share the build tree (one per core): they take turns building.
mkdir -p build
(
  flock 9
  cmake --preset fuzz > build/fuzz-configure.log 2>&1 || { cat build/fuzz-configure.log; exit 1; }
  nice -n 10 cmake --build --preset fuzz -j "${FUZZ_JOBS:-2}" --target "${targets[@]}" || exit 1
) 9> build/fuzz.lock || exit 1

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen RADEVIR_FUZZ_KIT=$kit
status=0
printf '%-26s %12s %7s %8s  %s\n' target executions seconds corpus findings
for entry in "${selected[@]}"; do
  IFS='|' read -r name dict seeds <<< "$entry"
  corpus=build/fuzz/corpus/$name
  artifacts=build/fuzz/artifacts/$name/
  mkdir -p "$corpus" "$artifacts"
  seed_dirs=()
  for s in $seeds; do [ -d "$s" ] && seed_dirs+=("$s"); done
  options=(-max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2560
           -max_len=65536 -artifact_prefix="$artifacts" -print_final_stats=1)
  [ -n "$dict" ] && options+=(-dict="fuzz/$dict")
  log=build/fuzz/$name.log
  start=$(date +%s)
  nice -n 10 "build/fuzz/fuzz/fuzz_$name" "${options[@]}" "$corpus" "${seed_dirs[@]}" > "$log" 2>&1
  rc=$?
  took=$(( $(date +%s) - start ))
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  size=$(find "$corpus" -type f | wc -l)
  found=$(grep -ho "Test unit written to .*" "$log" | sed 's/Test unit written to //' | tr '\n' ' ')
  if [ $rc -ne 0 ]; then
    status=1
    grep -m1 -E "ERROR: |runtime error|deadly signal|out-of-memory|timeout" "$log" | sed 's/^/  /' >&2
  fi
  printf '%-26s %12s %7s %8s  %s\n' "$name" "${execs:-?}" "$took" "$size" "${found:-none}"
done
exit $status
