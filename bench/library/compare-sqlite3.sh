#!/usr/bin/env bash
# library-vs-sqlite3: times each library list statement with our results and
# with the sqlite3 shell on the same generated file. Installs the shell when
# it is missing.
set -euo pipefail
if ! command -v sqlite3 >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends sqlite3
fi
"${LYRICADE_BUILD:?}/bench/bench-library" --compare-sqlite3
