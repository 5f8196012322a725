#!/bin/sh
# Cross-builds the core and velmora-cli for 64-bit Windows with MinGW-w64 into build-windows/,
# runs the core tests under Wine, and checks that velmora-cli.exe answers as the Linux
# build/src/cli/velmora-cli does: compute, show and report byte for byte on every project in
# tests/data and examples/, the workbook sheet by sheet, and the risk analysis figure by figure.
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
# Compares the figures of two results: JSON lines (simulate --json) or workbooks (the numbers of
# every sheet). Prints how many numbers they hold, how many differ and by how much at most
# (relative); fails when anything else in them differs. A workbook's moment of making
# (docProps/core.xml and the sheets' "Date and Time:" cell) is left out.
cat >"$out/figures.py" <<'EOF'
import json, re, sys, zipfile

figures = changed = 0
largest = 0.0
def number(a, b):
    global figures, changed, largest
    figures += 1
    if a != b:
        changed += 1
        largest = max(largest, abs(a - b) / max(abs(a), abs(b)))

def walk(a, b, where):
    kinds = (int, float)
    if isinstance(a, kinds) and isinstance(b, kinds) and not isinstance(a, bool) and not isinstance(b, bool):
        number(a, b)
    elif isinstance(a, dict) and isinstance(b, dict) and list(a) == list(b):
        for key in a:
            walk(a[key], b[key], where + "." + key)
    elif isinstance(a, list) and isinstance(b, list) and len(a) == len(b):
        for i, (x, y) in enumerate(zip(a, b)):
            walk(x, y, "%s[%d]" % (where, i))
    elif a != b:
        sys.exit("the results differ in form at %s: %r against %r" % (where or "the top", a, b))

def sheets(name):
    book = zipfile.ZipFile(name)
    return {member: re.sub(r"(Date and Time:</t>.*?<t>)[^<]*", r"\1", book.read(member).decode(), count=1)
            for member in book.namelist() if member != "docProps/core.xml"}

kind, first, second = sys.argv[1:]
if kind == "json":
    linux, windows = (open(name).read().splitlines() for name in (first, second))
    if len(linux) != len(windows):
        sys.exit("%d lines against %d" % (len(linux), len(windows)))
    for a, b in zip(linux, windows):
        walk(json.loads(a), json.loads(b), "")
elif kind == "csv":
    linux, windows = (open(name).read().splitlines() for name in (first, second))
    if len(linux) != len(windows) or linux[:1] != windows[:1]:
        sys.exit("the samples differ in form")
    for a, b in zip(linux[1:], windows[1:]):
        for x, y in zip(a.split(","), b.split(",")):
            number(float(x), float(y))
else:
    linux, windows = sheets(first), sheets(second)
    if list(linux) != list(windows):
        sys.exit("the workbooks hold other members")
    for member in linux:
        # Cell values sit in <v>; everything between them must be the same text.
        a, b = (re.split(r"<v>([^<]*)</v>", book[member]) for book in (linux, windows))
        if len(a) != len(b) or a[0::2] != b[0::2]:
            sys.exit("%s differs apart from its numbers" % member)
        for x, y in zip(a[1::2], b[1::2]):
            try:
                number(float(x), float(y))
            except ValueError:
                sys.exit("%s holds %r against %r" % (member, x, y))
print(figures, changed, repr(largest))
EOF
# Adds the figures of one comparison to those of its kind: $1 names the kind (workbook or
# simulate), $2 to $4 are what figures.py takes.
compared_simulate="0 0 0.0" compared_samples="0 0 0.0" compared_workbook="0 0 0.0"
failed_figures=0
count_figures() {
  kind=$1
  shift
  if ! tally=$(python3 "$out/figures.py" "$@"); then
    failed_figures=1
    return 1
  fi
  eval "sum=\$compared_$kind"
  # shellcheck disable=SC2154
  sum=$(python3 -c "a, b = '$sum'.split(), '$tally'.split(); print(int(a[0]) + int(b[0]), int(a[1]) + int(b[1]), repr(max(float(a[2]), float(b[2]))))")
  eval "compared_$kind=\$sum"
}
summary() {
  # shellcheck disable=SC2086
  set -- $1
  echo "$2 of $1 figures differ (at most $(python3 -c "print('%.3g' % $3)") relative)"
}

n=0 compute=0 show=0 report=0 workbook=0
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
  # The workbook's cash flows and annual costs go through pow, whose last bit the two C
  # libraries may round apart: its numbers are counted as the risk analysis's are.
  rm -f "$out/workbook.xlsx"
  "$linux" workbook "$f" "$out/workbook.xlsx" >/dev/null 2>&1 || true
  mv "$out/workbook.xlsx" "$out/linux.xlsx" 2>/dev/null || rm -f "$out/linux.xlsx"
  both workbook "$f" "$out/workbook.xlsx"
  mv "$out/workbook.xlsx" "$out/windows.xlsx" 2>/dev/null || rm -f "$out/windows.xlsx"
  if ! same_answer; then
    differs workbook "$f"
    failed_figures=1
  elif [ -f "$out/linux.xlsx" ] || [ -f "$out/windows.xlsx" ]; then
    if count_figures workbook xlsx "$out/linux.xlsx" "$out/windows.xlsx"; then
      workbook=$((workbook + 1))
    else
      echo "windows: velmora-cli workbook $f differs" >&2
    fi
  else
    workbook=$((workbook + 1))
  fi
done

# The risk analysis: every project that has risk definitions, and the examples' definitions on
# the default project. Sampling and statistics go through exp, log and pow too.
runs=0
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
    failed_figures=1
  elif ! count_figures simulate json "$out/linux.out" "$out/windows.out"; then
    echo "windows: velmora-cli $* differs in form" >&2
  fi
  # The iterations themselves: every sampled input and every figure of each.
  "$linux" "$@" --samples "$out/linux.csv" >/dev/null
  wine "$windows" "$@" --samples "$out/windows.csv" >/dev/null
  if ! count_figures samples csv "$out/linux.csv" "$out/windows.csv"; then
    echo "windows: the samples of velmora-cli $* differ in form" >&2
  fi
done

echo "windows: same bytes: compute $compute/$n, show $show/$n, report $report/$n;" \
  "workbook: $workbook/$n alike, $(summary "$compared_workbook");" \
  "simulate: $runs runs, $(summary "$compared_simulate"), samples $(summary "$compared_samples")"
if [ "$tests_failed" -ne 0 ]; then
  echo "windows: the core tests failed under Wine" >&2
  exit 1
fi
if [ "$compute" -ne "$n" ] || [ "$show" -ne "$n" ] || [ "$report" -ne "$n" ]; then
  echo "windows: velmora-cli.exe answers differently from the Linux build" >&2
  exit 1
fi
largest=$(python3 -c "print(max(float('${compared_workbook##* }'), float('${compared_simulate##* }'), float('${compared_samples##* }')))")
if [ "$failed_figures" -ne 0 ] || [ "$(python3 -c "print(int($largest > 1e-9))")" -ne 0 ]; then
  echo "windows: the figures of the workbook or the risk analysis on Windows are not Linux's" >&2
  exit 1
fi
echo "test-windows: all passed"
