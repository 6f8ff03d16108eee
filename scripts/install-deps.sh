#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quillmoth need.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libtag1-dev libsqlite3-dev libgtest-dev libgmock-dev
          desktop-file-utils appstream
          # The package: PNG icons drawn from the SVG, the checks of the
          # manual pages, the completion and the package itself.
          librsvg2-bin groff mandoc man-db bash-completion dpkg-dev lintian
          # Tests make FLAC, Ogg Vorbis and Opus songs and read them back
          # with tools no one here wrote.
          ffmpeg flac vorbis-tools opus-tools python3-mutagen)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
