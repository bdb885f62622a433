#!/usr/bin/env bash
# Builds the browser game and serves it at http://127.0.0.1:8000 with a plain local server
# (Ctrl+C stops it). Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-web.sh
echo "Tumbler: open http://127.0.0.1:8000 in a browser"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web/site
