# shellcheck shell=sh
# The Windows cross build that scripts/test-windows.sh and scripts/package-windows.sh share:
# the Debian packages it needs, the libraries staged for Windows in build-windows/deps, the
# configured build-windows/ and the Wine prefix the tests run in. Sourced from the top of the
# source tree; every step is skipped when its result is already there.

win_build=$PWD/build-windows
win_deps=$win_build/deps
win_toolchain=$PWD/cmake/mingw-w64.cmake
win_jobs=$(nproc)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# The cross compiler, Wine, MinGW's zlib, dpkg-dev for `apt-get source`, python3 for the
# comparison of figures and zip for the download; GoogleTest's sources and the header-only
# libraries are staged from the Linux build's own packages. scripts/setup.sh installs them all.
windows_packages() {
  missing=""
  for p in g++-mingw-w64-x86-64-posix wine wine64 libz-mingw-w64-dev dpkg-dev python3 zip \
    cmake ninja-build libgtest-dev nlohmann-json3-dev libcli11-dev; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "windows: installing$missing"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    $missing >/dev/null
}

# GoogleTest and libxlsxwriter built for Windows, and the header-only JSON and CLI11 with their
# CMake package files, all under one prefix: the host's own copies sit under /usr, and a host
# include directory on a MinGW command line brings glibc's headers in.
windows_deps() {
  [ -f "$win_deps/.staged" ] && return 0
  echo "windows: staging libraries in $win_deps"
  rm -rf "$win_deps" "$win_build/deps-build"
  src=$win_build/deps-build
  mkdir -p "$win_deps/include" "$win_deps/share/cmake" "$src"
  cp -r /usr/include/nlohmann /usr/include/CLI "$win_deps/include/"
  cp -r /usr/share/cmake/nlohmann_json /usr/share/cmake/CLI11 "$win_deps/share/cmake/"

  # GoogleTest from Debian's own sources (libgtest-dev). Its pthread build would declare a mutex
  # that the tests, compiled without GTEST_HAS_PTHREAD, lay out differently: it takes Win32's.
  cmake -S /usr/src/googletest -B "$src/googletest" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$win_toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$win_deps" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON >/dev/null
  cmake --build "$src/googletest" -j "$win_jobs" >/dev/null
  cmake --install "$src/googletest" >/dev/null

  # libxlsxwriter from Debian's source package, fetched with a private apt state so that the
  # machine's apt configuration stays as it is.
  apt=$src/apt
  mkdir -p "$apt/lists/partial" "$apt/cache"
  # The machine's own Debian mirror where it names one.
  mirror=$(sed -n 's|^URIs: *\([^ ]*/debian\)/*$|\1|p' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
    head -n 1)
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] ${mirror:-http://deb.debian.org/debian} bookworm main" \
    >"$apt/sources.list"
  set -- -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null \
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache"
  apt-get -qq "$@" update
  (cd "$src" && apt-get -qq "$@" source libxlsxwriter >/dev/null 2>&1)
  xlsx=$(find "$src" -maxdepth 1 -type d -name 'libxlsxwriter-*' | head -n 1)
  [ -n "$xlsx" ] || { echo "windows: apt-get source libxlsxwriter failed" >&2; return 1; }
  cmake -S "$xlsx" -B "$src/xlsxwriter" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$win_toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$win_deps" -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF >/dev/null
  cmake --build "$src/xlsxwriter" -j "$win_jobs" >/dev/null
  cmake --install "$src/xlsxwriter" >/dev/null

  rm -rf "$src"
  touch "$win_deps/.staged"
}

# Release: the tests run under Wine, and every second there counts.
windows_configure() {
  [ -f "$win_build/build.ninja" ] && return 0
  cmake -S . -B "$win_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$win_toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$win_deps" \
    -DVELMORA_GUI=OFF -DVELMORA_BENCH=OFF -DVELMORA_TESTS=ON >/dev/null
}

# velmora-cli.exe must run on a bare Windows: it may import system DLLs only.
windows_check_imports() {
  exe=$win_build/src/cli/velmora-cli.exe
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  foreign=$(echo "$dlls" | grep -viE \
    '^(kernel32|msvcrt|user32|advapi32|shell32|ws2_32|ole32|bcrypt|api-ms-win-[a-z0-9-]+)\.dll$' || true)
  if [ -n "$foreign" ]; then
    echo "windows: velmora-cli.exe needs DLLs that Windows does not have: $(echo "$foreign" | tr "\n" " ")" >&2
    return 1
  fi
  echo "windows: velmora-cli.exe imports only system DLLs: $(echo "$dlls" | tr "\n" " ")"
}

# Wine keeps its own Windows installation in build-windows/wineprefix, created on first use.
windows_wine() {
  WINEPREFIX=$win_build/wineprefix
  WINEDEBUG=-all
  export WINEPREFIX WINEDEBUG
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "windows: creating the Wine prefix"
    wineboot -i >/dev/null 2>&1
  fi
  # Wine hands out the same few process ids in every run, so a folder that a crashed test left in
  # the Windows temporary folder would meet the next run's test of the same name.
  rm -rf "$WINEPREFIX"/drive_c/users/*/Temp/*
}
