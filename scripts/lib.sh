# Shared by scripts/run and scripts/test: what the game needs from Debian, and how to get it.

# Building the game.
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libgl-dev)
# The free fonts that stand in for the ones the windows name.
font_packages=(fonts-roboto-slab fonts-bebas-neue fonts-texgyre fonts-leckerli-one
  fonts-liberation2 fonts-dejavu-core)
# Testing: a virtual X server and the tools that drive and inspect it; valgrind; real
# desktops: GNOME's and Xfce's window managers, a headless Wayland session with XWayland
# (and gdbus, to lay out its monitors).
test_packages=(googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-utils x11-apps imagemagick
  valgrind x11-xserver-utils dbus mutter xwayland xfwm4 libglib2.0-bin)
# Fuzzing: clang with libFuzzer (scripts/test --fuzz, and CI).
fuzz_packages=(clang libclang-rt-14-dev)
# Making and checking the Debian package.
package_packages=(dpkg-dev lintian desktop-file-utils appstream)

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
