# Shared by scripts/run and scripts/test: what the game needs from Debian, and how to get it.

# Building the game (stb_image: the one PNG decoder of every platform, header-only).
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libgl-dev libx11-dev libxcb1-dev
  zlib1g-dev libstb-dev)
# The free fonts that stand in for the ones the windows name.
font_packages=(fonts-roboto-slab fonts-bebas-neue fonts-texgyre fonts-leckerli-one
  fonts-liberation2 fonts-dejavu-core)
# Testing: a virtual X server and the tools that drive and inspect it; valgrind; the
# source of the comma locale that a test generates for itself; real desktops: GNOME's,
# Xfce's and KDE's window managers (KWin with its usual window frames), i3, headless Wayland
# sessions with XWayland (and gdbus, to lay out mutter's monitors); the X input and damage
# extensions, for the benchmark's touch and first frame stamps; the shape extension's, for
# following what of a window shows; mawk, Debian's own awk, that the scripts run on.
test_packages=(googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-utils imagemagick
  valgrind locales x11-xserver-utils dbus mutter xwayland xfwm4 kwin-x11 kwin-wayland
  kwin-style-breeze i3-wm libglib2.0-bin libxi-dev libxdamage-dev libxext-dev mawk)
# The Windows build (scripts/build-windows): the mingw-w64 cross compiler, zlib for it and
# GoogleTest's sources; Wine runs what it builds.
windows_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
  libstb-dev wine64 wine)
# Fuzzing: clang with libFuzzer (scripts/test --fuzz, and CI).
fuzz_packages=(clang libclang-rt-14-dev)
# Making and checking the Debian package.
package_packages=(dpkg-dev lintian desktop-file-utils appstream groff-base binutils)

# Every program that scripts/test and the tests call, as program:package. scripts/test
# installs these packages with the lists above and checks each program before any test
# runs, so that a missing one is named at once rather than failing deep inside a test.
# A script or a test that starts to call a program adds it here.
test_programs=(cmake:cmake ctest:cmake cpack:cmake ninja:ninja-build g++:g++
  Xvfb:xvfb xdpyinfo:x11-utils xwininfo:x11-utils xprop:x11-utils xdotool:xdotool
  import:imagemagick identify:imagemagick valgrind:valgrind localedef:libc-bin
  dpkg-deb:dpkg lintian:lintian desktop-file-validate:desktop-file-utils
  appstreamcli:appstream groff:groff-base zcat:gzip readelf:binutils
  stream:imagemagick xrandr:x11-xserver-utils dbus-run-session:dbus gdbus:libglib2.0-bin
  mutter:mutter Xwayland:xwayland xfwm4:xfwm4 kwin_x11:kwin-x11 kwin_wayland:kwin-wayland
  i3:i3-wm xmessage:x11-utils pgrep:procps mawk:mawk
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix wine:wine wineboot:wine)
fuzz_programs=(clang++:clang)

# The packages that bring the given program:package entries.
packages_of() {
  local entry
  for entry in "$@"; do echo "${entry#*:}"; done | sort -u
}

# Fails with one line naming the first missing program and its package.
require_programs() {
  local entry
  for entry in "$@"; do
    command -v "${entry%%:*}" >/dev/null 2>&1 && continue
    echo "Missing program: ${entry%%:*} (Debian package ${entry#*:})" >&2
    return 1
  done
}

# Installs the packages that are missing, and nothing when all are there.
install_missing() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# Configures (once) and builds the given targets in build/.
build() {
  local build_type=${BUILD_TYPE:-RelWithDebInfo}
  if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${CMAKE_ARGS[@]}" >/dev/null
  fi
  cmake --build build "$@"
}

# What the tests run in: a private virtual X server on a free display (stopped when the
# calling script exits), a private runtime folder, Qt at scale 1, and mawk as awk, as on a
# fresh Debian machine, also where gawk took the name.
start_test_display() {
  local display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  test_xvfb_pid=$!
  trap 'kill "$test_xvfb_pid" 2>/dev/null; wait "$test_xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=":$display"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  xdpyinfo >/dev/null 2>&1 || { echo "The virtual X server did not start" >&2; exit 1; }

  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  export QT_SCALE_FACTOR=1
  mkdir -p build/mawk
  ln -sf "$(command -v mawk)" build/mawk/awk
  export PATH="$PWD/build/mawk:$PATH"
}
