#!/usr/bin/env bash
# Builds the two Linux downloads into build-linux/ and prints where they are:
#   skirmlings_VERSION_amd64.deb    for Debian and Ubuntu: the game on
#                                   Debian's SDL, passed by lintian and the
#                                   desktop-entry and AppStream validators;
#   skirmlings-linux-x86_64.tar.gz  for any other distribution: SDL built
#                                   from Debian's source into the program.
# Installs what it needs on a fresh Debian machine; SDL is built once and
# kept in the cache. The builds' output goes to build-linux/linux-build.log
# and is shown only when something fails.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
. tools/reproducible.sh
# The package's build and checks, then the headers of the X11 and Wayland
# libraries that the tarball's SDL loads at run time.
need g++ cmake make file dpkg-dev libsdl2-dev lintian desktop-file-utils appstream pkgconf \
    libx11-dev libxext-dev libxcursor-dev libxi-dev libxfixes-dev libxrandr-dev libxss-dev \
    libwayland-dev libwayland-bin libegl-dev libxkbcommon-dev libdecor-0-dev
out=build-linux
mkdir -p "$out"
log="$PWD/$out/linux-build.log"
: >"$log"
fail() {
    cat "$log"
    echo "linux.sh: $1 failed (the lines above say why)" >&2
    exit 1
}
game=(-DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF -DSKIRMLINGS_BENCH=OFF)

# The package, with Debian's own hardening flags (less the path rewriting,
# which would change the source names in the game's log).
export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-fixfilepath"
rm -f "$out"/skirmlings_*.deb "$out"/deb/skirmlings_*.deb
{ cmake -S . -B "$out/deb" "${game[@]}" -DSKIRMLINGS_PACKAGE=deb \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" &&
  cmake --build "$out/deb" -j"$(nproc)" &&
  (cd "$out/deb" && cpack) && mv "$out"/deb/skirmlings_*.deb "$out"/; } >>"$log" 2>&1 ||
    fail "the package's build"
deb="$(echo "$out"/skirmlings_*_amd64.deb)"
{ lintian --fail-on error,warning --info "$deb" &&
  desktop-file-validate platforms/linux/skirmlings.desktop &&
  appstreamcli validate --no-net "$out"/deb/linux/*.metainfo.xml; } >>"$log" 2>&1 ||
    fail "checking the package"

# The tarball. Its SDL has only what the game uses: video (X11, Wayland),
# events, timers and files. X11 and Wayland are loaded at run time, and so
# is the GL that Wayland needs for a window's surface. SDL's asserts name
# its files relative to its source, not by the builder's cache folder.
sdl_source="$(tools/sdl-source.sh 2>>"$log")" || fail "fetching SDL's source"
sdl="$(tools/build-sdl.sh x86_64-linux-gnu-relative cmake \
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$sdl_source/=" -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF \
    -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF \
    -DSDL_MISC=OFF -DSDL_VULKAN=OFF -DSDL_DBUS=OFF -DSDL_IBUS=OFF -DSDL_LIBUDEV=OFF \
    -DSDL_KMSDRM=OFF -DSDL_X11=ON -DSDL_X11_SHARED=ON -DSDL_WAYLAND=ON -DSDL_WAYLAND_SHARED=ON \
    2>>"$log")" || fail "building SDL"
# Packed by GNU tar, as reproducible-builds.org advises: names sorted, every
# time the commit's, owned by root (cpack's would keep the builder's user and
# the order its folders list in).
rm -rf "$out"/skirmlings-linux-x86_64.tar.gz "$out/tarball/stage"
{ cmake -S . -B "$out/tarball" "${game[@]}" -DSKIRMLINGS_PACKAGE=tarball \
      -DSDL2_DIR="$sdl/lib/cmake/SDL2" &&
  cmake --build "$out/tarball" -j"$(nproc)" &&
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/tarball/CMakeCache.txt")" &&
  name="skirmlings-$version-linux-x86_64" &&
  cmake --install "$out/tarball" --strip --prefix "$out/tarball/stage/$name" &&
  tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner --format=gnu \
      -C "$out/tarball/stage" -c "$name" | gzip -9n >"$out"/skirmlings-linux-x86_64.tar.gz; } \
    >>"$log" 2>&1 || fail "the tarball's build"
# A player's program never names the builder's folders.
grep -qF "$sdl_source" "$out/tarball/bin/skirmlings" && fail "keeping SDL's folder out of the game"

echo "Skirmlings for Debian and Ubuntu: $PWD/$deb"
echo "Skirmlings for other Linux distributions: $PWD/$out/skirmlings-linux-x86_64.tar.gz"
