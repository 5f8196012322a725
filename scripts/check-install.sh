#!/bin/sh
# Installs build/ into a staging folder, as a package would, and checks that an installed
# Velmora is complete: both programs, a menu entry the desktop accepts, the icon, the .vlm file
# type, the manual page, and the examples, which the staged velmora-cli must compute.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"
id=org.velmora.Velmora

fail() { echo "check-install: $*" >&2; exit 1; }
for file in bin/velmora bin/velmora-cli \
  share/applications/$id.desktop share/mime/packages/$id.xml \
  share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/128x128/apps/$id.png \
  share/man/man1/velmora-cli.1 \
  share/velmora/examples/rural-two-lane.vlm share/velmora/examples/urban-arterial.vlm \
  share/velmora/examples/interstate.vlm; do
  [ -s "$root/$file" ] || fail "$file is missing"
done
for program in velmora velmora-cli; do
  [ -x "$root/bin/$program" ] || fail "bin/$program is not executable"
done
if find "$stage" -name '*test*' -o -name '*bench*' | grep -q .; then
  fail "tests or benchmarks were installed"
fi

desktop-file-validate "$root/share/applications/$id.desktop"
grep -qx "MimeType=application/x-velmora-project;" "$root/share/applications/$id.desktop" ||
  fail "the desktop entry does not name the project file type"
xmllint --noout "$root/share/mime/packages/$id.xml"
grep -q '<glob pattern="\*.vlm"/>' "$root/share/mime/packages/$id.xml" ||
  fail "the file type has no *.vlm glob"

if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$root/share/man/man1/velmora-cli.1" 2>&1)
  [ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
fi

for example in "$root"/share/velmora/examples/*.vlm; do
  "$root/bin/velmora-cli" compute "$example" >/dev/null ||
    fail "the staged velmora-cli cannot compute $example"
done
echo "check-install: passed"
