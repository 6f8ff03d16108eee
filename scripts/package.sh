#!/usr/bin/env bash
# Builds the Debian package quillmoth_<version>_<arch>.deb from a Release
# build (in build-package/, without tests and benchmarks) and puts it in the
# checkout's top folder. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
build="build-package"
# Debian's hardening flags (stack protector, fortified functions, read-only
# relocations, immediate binding), as a package built by Debian gets them.
# CMake reads CFLAGS, CXXFLAGS and LDFLAGS only when a build folder is first
# configured, and CPPFLAGS (where _FORTIFY_SOURCE is) never: they are given
# on every configure instead.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
flags=(-DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS"
       -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS")
# The manual pages carry the date of the latest change, not of the build.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH
launcher=()
command -v ccache >/dev/null 2>&1 &&
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUILLMOTH_BUILD_TESTS=OFF -DQUILLMOTH_BUILD_BENCH=OFF "${flags[@]}" "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
# The files are owned by root in the package whoever builds it; umask 022
# keeps their modes the usual ones.
umask 022
rm -f "$build"/quillmoth_*.deb # left by a run that failed its check
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/quillmoth_*.deb)
package=${debs[0]}
# Without rsvg-convert the build leaves the PNG icons out with a warning; a
# package must not.
# (The listing is read whole first: grep -q ending the pipe early would
# fail it under pipefail.)
contents=$(dpkg-deb -c "$package")
if ! grep -q 'hicolor/48x48/apps/.*\.png$' <<<"$contents"; then
    echo "The package has no PNG icons: install librsvg2-bin (scripts/install-deps.sh)." >&2
    exit 1
fi
mv -f "$package" .
echo "$PWD/$(basename "$package")"
