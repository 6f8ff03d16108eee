#!/usr/bin/env bash
# Builds the program and starts it; arguments go to quillmoth.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillmoth
exec ./build/app/gui/quillmoth "$@"
