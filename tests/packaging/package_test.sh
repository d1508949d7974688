#!/usr/bin/env bash
# Builds the Debian packages from the build tree, unpacks them into a scratch
# root and checks what a user would get: programs that run, menu entries,
# icons and manual pages in their places, the simulators in their own package,
# glowctl in one that needs no window library.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >cpack.log 2>&1) || {
  cat "$scratch/cpack.log"; exit 1; }
programs=$(ls "$scratch"/out/marquelle-sign-tools_*.deb)
simulators=$(ls "$scratch"/out/marquelle-sign-simulators_*.deb)
console=$(ls "$scratch"/out/marquelle-sign-console_*.deb)

status=0
fail() { echo "$*"; status=1; }
dpkg-deb -f "$programs" Depends | grep -q 'libqt6widgets6' || fail "programs: no Qt dependency: $(dpkg-deb -f "$programs" Depends)"
dpkg-deb -f "$programs" Depends | grep -q 'libqt6serialport6' || fail "programs: no serial port dependency"

dpkg-deb -x "$programs" "$scratch/root"
for f in usr/bin/glowset usr/bin/romwright \
         usr/share/applications/com.orvantis_signals.glowset.desktop \
         usr/share/applications/com.orvantis_signals.romwright.desktop \
         usr/share/metainfo/com.orvantis_signals.romwright.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/com.orvantis_signals.glowset.svg \
         usr/share/icons/hicolor/48x48/apps/com.orvantis_signals.romwright.png \
         usr/share/icons/hicolor/256x256/apps/com.orvantis_signals.glowset.png \
         usr/share/man/man1/glowset.1 usr/share/man/man1/romwright.1; do
  [ -e "$scratch/root/$f" ] || [ -e "$scratch/root/$f.gz" ] || fail "programs package lacks $f"
done
for f in usr/bin/signsim usr/bin/unitsim; do
  [ -e "$scratch/root/$f" ] && fail "programs package holds $f"
done
version=$("$scratch/root/usr/bin/romwright" --version)
[ "$version" = "romwright 4.72" ] || fail "romwright --version from the package said: $version"

dpkg-deb -x "$simulators" "$scratch/sims"
[ -x "$scratch/sims/usr/bin/signsim" ] && [ -x "$scratch/sims/usr/bin/unitsim" ] ||
  fail "simulators package lacks signsim or unitsim"
[ -e "$scratch/sims/usr/bin/glowset" ] && fail "simulators package holds glowset"
dpkg-deb -x "$console" "$scratch/console"
[ -x "$scratch/console/usr/bin/glowctl" ] || fail "console package lacks glowctl"
[ -e "$scratch/console/usr/share/man/man1/glowctl.1" ] || [ -e "$scratch/console/usr/share/man/man1/glowctl.1.gz" ] ||
  fail "console package lacks glowctl(1)"
[ -f "$scratch/console/usr/share/bash-completion/completions/glowctl" ] ||
  fail "console package lacks glowctl's bash completion"
dpkg-deb -f "$console" Depends | grep -qE 'libqt6(widgets|gui)6' &&
  fail "console package needs a window library: $(dpkg-deb -f "$console" Depends)"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/console/usr/bin/glowctl" --version)
[ "$version" = "glowctl 4.72" ] || fail "glowctl --version from the package said: $version"
ldd "$scratch/console/usr/bin/glowctl" | grep -qE 'libQt6(Widgets|Gui)' && fail "glowctl loads a window library"
exit $status
