#!/usr/bin/env bash
# Makes the Debian package from a build folder and checks what it installs:
#   package_test.sh BUILD_DIR
# Needs dpkg-dev, lintian, desktop-file-utils, appstream and imagemagick.
set -euo pipefail

build_dir=$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# cpack writes into the temporary folder, so the build folder gets no package files.
if ! cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not make the package" >&2
  exit 1
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, got: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
echo "package: $(basename "$deb")"
[ "$(basename "$deb")" = "orvanta_${version}_${arch}.deb" ] || fail "file name $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package)" = orvanta ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"

root="$work/root"
dpkg-deb -x "$deb" "$root"

# The program: in /usr/games, executable, stripped.
binary="$root/usr/games/orvanta"
if [ -f "$binary" ] && [ -x "$binary" ]; then
  readelf -h "$binary" >/dev/null 2>&1 || fail "/usr/games/orvanta is not an ELF file"
  sections=$(readelf -S "$binary")
  if grep -q '\.debug_info' <<<"$sections"; then fail "/usr/games/orvanta is not stripped"; fi
else
  fail "/usr/games/orvanta is missing or not executable"
fi

# Modes and owners as Debian wants them: root:root, 0755 for folders and the program,
# 0644 for everything else.
while read -r mode owner _ _ _ path _; do
  path=${path#.}
  [ "$owner" = root/root ] || fail "$path is owned by $owner"
  case "$mode" in
    d*) [ "$mode" = drwxr-xr-x ] || fail "folder $path has mode $mode" ;;
    *) if [ "$path" = /usr/games/orvanta ]; then want=-rwxr-xr-x; else want=-rw-r--r--; fi
       [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want" ;;
  esac
done < <(dpkg-deb -c "$deb")

# Desktop entry: valid, and pointing at the program and the icon that the package has.
desktop="$root/usr/share/applications/org.example.orvanta.desktop"
if [ -f "$desktop" ]; then
  # It exits 0 on some errors ("will be fatal in the future"), so its words count too.
  if ! report=$(desktop-file-validate "$desktop" 2>&1) || grep -Eq ': (error|warning):' <<<"$report"; then
    fail "desktop-file-validate rejects the desktop entry: $report"
  fi
  grep -qx 'Exec=/usr/games/orvanta' "$desktop" || fail "desktop entry: $(grep '^Exec=' "$desktop")"
  grep -qx 'Icon=orvanta' "$desktop" || fail "desktop entry names another icon"
  grep -qx 'Name=Orvanta Basketball' "$desktop" || fail "desktop entry has another name"
else
  fail "no desktop entry at /usr/share/applications/org.example.orvanta.desktop"
fi

# AppStream metadata: valid, launching that desktop entry, newest release = package version.
metainfo="$root/usr/share/metainfo/org.example.orvanta.metainfo.xml"
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
  grep -q '<launchable type="desktop-id">org.example.orvanta.desktop</launchable>' "$metainfo" ||
    fail "metainfo does not launch org.example.orvanta.desktop"
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
  [ "$newest" = "$version" ] || fail "metainfo's newest release is $newest, the package is $version"
else
  fail "no metainfo at /usr/share/metainfo/org.example.orvanta.metainfo.xml"
fi

# Manual page, compressed, and rendered without a warning where a formatter is installed.
manpage="$root/usr/share/man/man6/orvanta.6.gz"
if [ -f "$manpage" ] && gzip -t "$manpage"; then
  if command -v groff >/dev/null; then
    warnings=$(zcat "$manpage" | groff -man -Tutf8 -ww -z 2>&1) || fail "groff failed on the manual page"
    [ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
  elif command -v mandoc >/dev/null; then
    zcat "$manpage" | mandoc -T lint -W warning >/dev/null || fail "mandoc warns about the manual page"
  else
    echo "no groff or mandoc here: the manual page is not rendered"
  fi
  grep -q '^\.SH EXIT STATUS' <(zcat "$manpage") || fail "manual page has no EXIT STATUS"
else
  fail "no gzip-compressed manual page at /usr/share/man/man6/orvanta.6.gz"
fi

# Icons, one per size of the theme, each of its own pixel size.
for size in 16 24 32 48 64 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/orvanta.png"
  if [ -f "$icon" ]; then
    got=$(identify -format '%m %wx%h' "$icon")
    [ "$got" = "PNG ${size}x${size}" ] || fail "$icon is $got"
  else
    fail "no icon $icon"
  fi
done

# Dependencies: the fonts and the platform plugin by hand, Qt's libraries from shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in fonts-roboto-slab fonts-bebas-neue fonts-texgyre fonts-leckerli-one \
  fonts-liberation2 qt6-qpa-plugins libqt6widgets6 libc6; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package"
done

[ -f "$root/usr/share/doc/orvanta/copyright" ] || fail "no copyright file"

# Debian's own checker: errors fail, warnings are shown.
if ! lintian --fail-on error --tag-display-limit 0 "$deb"; then
  fail "lintian reports errors"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package checks passed"
