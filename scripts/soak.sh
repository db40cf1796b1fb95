#!/usr/bin/env bash
# Soak test: random keys, clicks and waits through the whole program on the sanitizer build, for
# MINUTES (default 30), niced, one run after another. Each run starts in a fresh copy of the data
# kit, either at the program menu or in the task editor (--edit), with a script made from its
# seed (--script, --audio null, --print-to). A run fails on a sanitizer report, a crash, a hang
# (more than SOAK_RUN_SECONDS, default 240), an exit code other than 0 or 3, or a written option,
# protocol, card box or list file that is no longer whole.
#   scripts/soak.sh [MINUTES]              e.g. scripts/soak.sh 30
#   scripts/soak.sh --replay SEED          one run with the script of SEED, kept for a look
# SOAK_FIRST_SEED chooses the first seed (default: from the clock); SOAK_JOBS the build jobs (2);
# SOAK_PRESET another build preset (default asan; "default" for a quick look without sanitizers).
# Builds the asan preset's program itself. Not part of CI. A failing run keeps its folder under
# build/soak/fail-SEED (script.txt, the kit copy, stdout/stderr, the reason).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

replay=
if [ "${1:-}" = "--replay" ]; then
  replay=${2:?--replay needs a seed}
  minutes=0
else
  minutes=${1:-30}
fi
run_seconds=${SOAK_RUN_SECONDS:-240}
preset=${SOAK_PRESET:-asan}

# --- the sanitizer build of the program and its kit ----------------------------------------
mkdir -p build
(
  flock 9
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    launcher=()
    command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake --preset "$preset" "${launcher[@]}" > "build/$preset-configure.log" 2>&1 ||
      { cat "build/$preset-configure.log"; exit 1; }
  fi
  nice -n 10 cmake --build --preset "$preset" -j "${SOAK_JOBS:-2}" --target radevir > build/soak-build.log 2>&1 ||
    { tail -40 build/soak-build.log; exit 1; }
) 9> "build/$preset.lock" || { echo "soak: the $preset build failed" >&2; exit 1; }

kit=$root/build/$preset/bin
program=$kit/radevir
[ -x "$program" ] && [ -f "$kit/radevir.kit" ] || { echo "soak: no program or kit in $kit" >&2; exit 1; }

soak=$root/build/soak
mkdir -p "$soak"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:halt_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

# --- a random script from a seed -------------------------------------------------------------
# Prints the script; its first line is a comment naming the start ("# start menu" or
# "# start edit FILE").
make_script() {
  /usr/bin/python3 - "$1" "$2" << 'EOF'
import random, sys
seed, kitcopy = int(sys.argv[1]), sys.argv[2]
r = random.Random(seed)
editor = r.random() < 0.25
out = []
# the menu's program and option letters, answers, digits and signs a child types
letters = list("kdsgnmzlato") + list("jn+-=,:") + list("0123456789")
named = ["Enter"] * 6 + ["Esc"] * 3 + ["Space", "Tab", "Backspace", "Up", "Down", "Left", "Right",
         "Home", "End", "PgUp", "PgDn", "Insert", "Delete", "F1", "F5", "F7", "F10"]
chords = ["Ctrl+S", "Ctrl+Z", "Ctrl+A", "Ctrl+C", "Ctrl+V", "Alt+F4", "Shift+Tab", "Ctrl+O", "Ctrl+N"]
def key():
    x = r.random()
    if x < 0.45: return "key " + r.choice(letters)
    if x < 0.90: return "key " + r.choice(named)
    return "key " + r.choice(chords)
def wait():
    return "wait %d" % r.choice([10, 100, 500, 1500, 3000, 5000, 8000])
if editor:
    out.append("# start edit")
    for _ in range(r.randint(20, 120)):
        x = r.random()
        if x < 0.35: out.append("type " + "".join(r.choice("0123456789+-=:_ ") for _ in range(r.randint(1, 8))))
        elif x < 0.70: out.append(key())
        elif x < 0.85: out.append("click %d %d" % (r.randrange(640), r.randrange(480)))
        else: out.append(wait())
else:
    out.append("# start menu")
    for _ in range(r.randint(40, 300)):
        x = r.random()
        if x < 0.55: out.append(key())
        elif x < 0.65: out.append("type " + "".join(r.choice("0123456789") for _ in range(r.randint(1, 3))))
        elif x < 0.75: out.append("click %d %d" % (r.randrange(640), r.randrange(480)))
        elif x < 0.80: out.append("click-cell %d %d" % (r.randint(1, 80), r.randint(1, 25)))
        else: out.append(wait())
# most runs end by leaving, the others run out or quit wherever they are
end = r.random()
if end < 0.4: out += ["key Esc", "key Esc", "key Esc", "key j"]
elif end < 0.6: out.append("quit")
print("\n".join(out))
EOF
}

# --- is every written file still whole? --------------------------------------------------------
# Prints one line per damaged file; compares against the kit so that only written files count.
check_files() {
  /usr/bin/python3 - "$1" "$kit" << 'EOF'
import os, re, sys
run, kit = sys.argv[1], sys.argv[2]
number = re.compile(rb"^-?[0-9]+$")
for folder, dirs, files in os.walk(run):
    for f in files:
        path = os.path.join(folder, f)
        rel = os.path.relpath(path, run)
        if rel.startswith(("print" + os.sep, "script.txt", "stdout", "stderr", "settings.ini")): continue
        original = os.path.join(kit, rel)
        data = open(path, "rb").read()
        if os.path.exists(original) and open(original, "rb").read() == data: continue
        lower = f.lower()
        if not (lower.endswith((".opt", ".rtt", ".txt"))): continue
        problems = []
        if b"\0" in data: problems.append("holds a NUL")
        if data and not data.endswith(b"\r\n"): problems.append("does not end with CR LF")
        if re.search(rb"\r(?!\n)|(?<!\r)\n", data): problems.append("has a line end other than CR LF")
        if lower.endswith((".opt", ".rtt")):
            lines = data.split(b"\r\n")[:-1]
            if len(lines) != 35: problems.append("has %d lines, not 35" % len(lines))
            elif not all(number.match(l) for i, l in enumerate(lines) if i != 13):
                problems.append("has a value that is not a number")
        for p in problems: print("%s %s" % (rel, p))
EOF
}

# --- one run ---------------------------------------------------------------------------------
# Returns 0 when the run passed; leaves the reason in $dir/reason.
run_one() {
  local seed=$1 dir=$2
  rm -rf "$dir"
  mkdir -p "$dir"
  # a fresh copy of the kit: everything but the programs
  (cd "$kit" && find . -mindepth 1 -maxdepth 1 ! -name 'radevir' ! -name 'radevir-worksheet' -print0 |
     xargs -0 cp -r --target-directory="$dir")
  make_script "$seed" "$dir" > "$dir/script.txt"
  local args=(--data "$dir" --settings "$dir/settings.ini" --script "$dir/script.txt" --audio null
              --print-to "$dir/print" --seed "$seed" --size 800x600)
  if head -1 "$dir/script.txt" | grep -q "start edit"; then
    local task
    task=$(find "$dir/Aufgaben" -name '*.txt' | sort | awk -v n="$seed" '{a[NR]=$0} END {print a[(n % NR) + 1]}')
    args+=(--edit "$task")
  fi
  local start rc
  start=$(date +%s)
  (cd "$dir" && timeout -k 10 "$run_seconds" nice -n 10 "$program" "${args[@]}" > "$dir/stdout" 2> "$dir/stderr")
  rc=$?
  echo $(( $(date +%s) - start )) > "$dir/seconds"
  local reason=
  if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: UndefinedBehaviorSanitizer" "$dir/stderr"; then
    reason="sanitizer report: $(grep -m1 -E 'ERROR: |runtime error:' "$dir/stderr")"
  elif [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
    reason="hang: no end within $run_seconds s"
  elif [ $rc -gt 128 ]; then
    reason="crash: signal $((rc - 128))"
  elif [ $rc -ne 0 ] && [ $rc -ne 3 ]; then
    reason="exit code $rc: $(tail -1 "$dir/stderr")"
  else
    local damaged
    damaged=$(check_files "$dir")
    [ -n "$damaged" ] && reason="file no longer whole: $damaged"
  fi
  echo "$rc" > "$dir/exit"
  if [ -n "$reason" ]; then
    echo "$reason" > "$dir/reason"
    return 1
  fi
  return 0
}

if [ -n "$replay" ]; then
  dir=$soak/replay-$replay
  if run_one "$replay" "$dir"; then
    echo "seed $replay: passed (exit $(cat "$dir/exit"), $(cat "$dir/seconds") s); kept in $dir"
  else
    echo "seed $replay: FAILED: $(cat "$dir/reason"); kept in $dir"
    exit 1
  fi
  exit 0
fi

seed=${SOAK_FIRST_SEED:-$(date +%s)}
deadline=$(( $(date +%s) + minutes * 60 ))
runs=0 failures=0 started=$(date +%s)
echo "soak: $minutes minutes from seed $seed on $program"
while [ "$(date +%s)" -lt "$deadline" ]; do
  dir=$soak/run
  if run_one "$seed" "$dir"; then
    echo "seed $seed: ok (exit $(cat "$dir/exit"), $(cat "$dir/seconds") s)"
  else
    failures=$((failures + 1))
    rm -rf "$soak/fail-$seed"
    mv "$dir" "$soak/fail-$seed"
    echo "seed $seed: FAILED: $(cat "$soak/fail-$seed/reason")"
    echo "  replay: scripts/soak.sh --replay $seed   (kept in build/soak/fail-$seed)"
  fi
  runs=$((runs + 1))
  seed=$((seed + 1))
done
rm -rf "$soak/run"
echo "soak: $runs runs, $(( ($(date +%s) - started) / 60 )) minutes, $failures failures"
[ $failures -eq 0 ]
