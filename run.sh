#!/usr/bin/env bash
# Installs what is missing, builds hkviewer (Release) and opens it on the bundled sample drawing.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DHK_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target hkviewer
exec ./build/bin/hkviewer "$@"
