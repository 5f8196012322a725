#!/bin/sh
# Makes build-windows/velmora-cli-<version>-win64.zip: velmora-cli.exe (one file, no DLLs of its
# own), the example projects and README-Windows.txt, built as scripts/test-windows.sh builds it.
set -eu
cd "$(dirname "$0")/.."
scripts/test-windows.sh --build-only
version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=velmora-cli-$version-win64
stage=build-windows/package/$name
rm -rf build-windows/package "build-windows/$name.zip"
mkdir -p "$stage/examples"
cp build-windows/src/cli/velmora-cli.exe "$stage/"
x86_64-w64-mingw32-strip "$stage/velmora-cli.exe"
cp examples/*.vlm examples/*-risk.json "$stage/examples/"

# Notepad and every other Windows editor read CR LF.
sed 's/$/\r/' >"$stage/README-Windows.txt" <<EOF
Velmora $version - velmora-cli for Windows (64-bit)

velmora-cli is the command line of Velmora, pavement life-cycle cost analysis
of one road project: it compares an asphalt and a concrete design by the net
present value per mile of the agency cost, the work zone user delay cost and
the maintenance, and runs the risk analysis of the uncertain inputs.

It is one program, velmora-cli.exe, that needs nothing installed. Open a
Command Prompt or PowerShell in this folder and run, for example:

    .\velmora-cli.exe --help
    .\velmora-cli.exe compute examples\route-9.vlm
    .\velmora-cli.exe report examples\route-9.vlm route-9.xls
    .\velmora-cli.exe workbook examples\route-9.vlm route-9.xlsx --simulate
    .\velmora-cli.exe simulate examples\interstate.vlm
    .\velmora-cli.exe workzone examples\urban-arterial.vlm --top 3

velmora-cli COMMAND --help lists the arguments of each command. To run it from
any folder, add this folder to the PATH environment variable.

The examples folder holds four example projects (.vlm) with their risk
definitions, also as NAME-risk.json beside each project:
rural-two-lane, urban-arterial, interstate and route-9.

The Velmora desktop program (the input forms, charts and printing) is not in
this download: it is built for Linux.
EOF

# The files sit at the top of the archive: Windows' "Extract All" makes the folder.
if command -v zip >/dev/null 2>&1; then
  (cd "$stage" && zip -qrX "../../$name.zip" .)
else
  python3 -c 'import shutil, sys; shutil.make_archive(sys.argv[1], "zip", sys.argv[2])' \
    "build-windows/$name" "$stage"
fi
rm -rf build-windows/package
echo "package-windows: build-windows/$name.zip"
