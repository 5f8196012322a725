#!/bin/sh
# Cross-builds the core and velmora-cli for 64-bit Windows with MinGW-w64 into build-windows/,
# runs the core tests under Wine, and checks that velmora-cli.exe answers as the Linux
# build/src/cli/velmora-cli does: compute, show and report byte for byte on every project in
# tests/data and examples/, and the risk analysis figure by figure.
#   scripts/test-windows.sh --build-only   builds velmora-cli.exe and stops
set -eu
cd "$(dirname "$0")/.."
. scripts/windows-env.sh

windows_packages
windows_deps
windows_configure
if [ "${1:-}" = --build-only ]; then
  cmake --build "$win_build" -j "$win_jobs" --target velmora-cli
  windows_check_imports
  exit 0
fi
cmake --build "$win_build" -j "$win_jobs" --target velmora-cli velmora_core_tests
windows_check_imports
windows_wine
# A failing test does not stop the comparisons: one run tells all that is wrong on Windows.
tests_failed=0
ctest --test-dir "$win_build" --output-on-failure -j "$win_jobs" || tests_failed=1

# The Linux answers: scripts/test.sh has just built build/; alone, this builds the CLI the same way.
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BENCH=ON >/dev/null
fi
cmake --build build -j "$win_jobs" --target velmora-cli >/dev/null
linux=build/src/cli/velmora-cli
windows=$win_build/src/cli/velmora-cli.exe
# Relative, as every path given to both programs: velmora-cli.exe would read a name that starts
# with / as an option.
out=build-windows/compare
rm -rf "$out"
mkdir -p "$out"
tab=$(printf '\t')

# Runs one command on both systems, with the same relative paths so that names printed agree:
# $out/linux.* and $out/windows.* hold standard output and the exit status, Windows' line ends
# on standard output made Linux's.
both() {
  rc=0
  "$linux" "$@" >"$out/linux.out" 2>"$out/linux.err" || rc=$?
  echo "$rc" >"$out/linux.rc"
  rc=0
  wine "$windows" "$@" >"$out/windows.raw" 2>"$out/windows.err" || rc=$?
  echo "$rc" >"$out/windows.rc"
  tr -d '\r' <"$out/windows.raw" >"$out/windows.out"
}
same_answer() { cmp -s "$out/linux.rc" "$out/windows.rc" && cmp -s "$out/linux.out" "$out/windows.out"; }
differs() {
  echo "windows: velmora-cli $* differs (exit status linux $(cat "$out/linux.rc"), windows $(cat "$out/windows.rc")):" >&2
  diff "$out/linux.out" "$out/windows.out" | head -n 10 >&2 || true
  head -n 3 "$out/windows.err" >&2
}
# The report's "Date and Time:" line follows the clock.
undated() { if [ -f "$1" ]; then LC_ALL=C grep -av "^Date and Time:$tab" "$1"; else echo "(no file)"; fi; }

n=0 compute=0 show=0 report=0
for f in tests/data/*.vlm examples/*.vlm; do
  n=$((n + 1))
  both compute "$f"
  if same_answer; then compute=$((compute + 1)); else differs compute "$f"; fi
  both show "$f"
  if same_answer; then show=$((show + 1)); else differs show "$f"; fi
  rm -f "$out/report.xls"
  "$linux" report "$f" "$out/report.xls" >/dev/null 2>&1 || true
  undated "$out/report.xls" >"$out/linux.report"
  rm -f "$out/report.xls"
  both report "$f" "$out/report.xls"
  undated "$out/report.xls" >"$out/windows.report"
  if same_answer && cmp -s "$out/linux.report" "$out/windows.report"; then
    report=$((report + 1))
  else
    differs report "$f"
    cmp "$out/linux.report" "$out/windows.report" >&2 || true
  fi
done

# The risk analysis: every project that has risk definitions, and the examples' definitions on
# the default project. Sampling and statistics go through exp, log and pow, whose last bit the
# two C libraries may round apart, so figures are counted rather than required equal.
# Prints how many numbers two files of JSON lines hold, how many differ and by how much at most
# (relative), and fails when anything else in them differs.
cat >"$out/figures.py" <<'EOF'
import json, sys

figures = changed = 0
largest = 0.0
def walk(a, b, where):
    global figures, changed, largest
    number = (int, float)
    if isinstance(a, number) and isinstance(b, number) and not isinstance(a, bool) and not isinstance(b, bool):
        figures += 1
        if a != b:
            changed += 1
            largest = max(largest, abs(a - b) / max(abs(a), abs(b)))
    elif isinstance(a, dict) and isinstance(b, dict) and list(a) == list(b):
        for key in a:
            walk(a[key], b[key], where + "." + key)
    elif isinstance(a, list) and isinstance(b, list) and len(a) == len(b):
        for i, (x, y) in enumerate(zip(a, b)):
            walk(x, y, "%s[%d]" % (where, i))
    elif a != b:
        sys.exit("the results differ in form at %s: %r against %r" % (where or "the top", a, b))

linux, windows = (open(name).read().splitlines() for name in sys.argv[1:])
if len(linux) != len(windows):
    sys.exit("%d lines against %d" % (len(linux), len(windows)))
for a, b in zip(linux, windows):
    walk(json.loads(a), json.loads(b), "")
print(figures, changed, repr(largest))
EOF
runs=0 figures=0 changed=0 largest=0 simulate_failed=0
for run in tests/data/*.vlm examples/*.vlm examples/*-risk.json; do
  case $run in
    *.json) set -- simulate tests/data/default.vlm --json --seed 7 --risk "$run" ;;
    *) set -- simulate "$run" --json --seed 7 ;;
  esac
  "$linux" "$@" >/dev/null 2>&1 || continue
  runs=$((runs + 1))
  both "$@"
  if ! cmp -s "$out/linux.rc" "$out/windows.rc"; then
    differs "$@"
    simulate_failed=1
    continue
  fi
  if ! tally=$(python3 "$out/figures.py" "$out/linux.out" "$out/windows.out"); then
    echo "windows: velmora-cli $* differs in form" >&2
    simulate_failed=1
    continue
  fi
  # shellcheck disable=SC2086
  set -- $tally
  figures=$((figures + $1))
  changed=$((changed + $2))
  largest=$(python3 -c "print(repr(max($largest, $3)))")
done

echo "windows: same bytes: compute $compute/$n, show $show/$n, report $report/$n;" \
  "simulate: $runs runs, $changed of $figures figures differ" \
  "(at most $(python3 -c "print('%.3g' % $largest)") relative)"
if [ "$tests_failed" -ne 0 ]; then
  echo "windows: the core tests failed under Wine" >&2
  exit 1
fi
if [ "$compute" -ne "$n" ] || [ "$show" -ne "$n" ] || [ "$report" -ne "$n" ]; then
  echo "windows: velmora-cli.exe answers differently from the Linux build" >&2
  exit 1
fi
if [ "$simulate_failed" -ne 0 ] || [ "$(python3 -c "print(int($largest > 1e-9))")" -ne 0 ]; then
  echo "windows: the risk analysis on Windows is not that of Linux" >&2
  exit 1
fi
echo "test-windows: all passed"
