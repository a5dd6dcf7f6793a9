#!/usr/bin/env bash
# Builds the program for the browser and leaves in build-web/site/ what any static web server
# serves: the page in German with its loading bar, the program (summenleiter.js and .wasm with
# Qt's qtloader.js), its icon and web app manifest, and the licences. Qt for WebAssembly comes from
# scripts/web-qt.sh, which builds it once and caches it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
scripts/web-qt.sh >/dev/null
. scripts/web-env.sh
web_env

cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"

app=build-web/src/app
site=build-web/site
rm -rf "$site"
mkdir -p "$site"
cp "$app/summenleiter.js" "$app/summenleiter.wasm" "$app/qtloader.js" "$site/"
cp packaging/web/index.html packaging/web/manifest.webmanifest packaging/web/THIRD-PARTY.txt "$site/"
cp src/ui/resources/summenleiter.svg src/ui/resources/summenleiter-64.png src/ui/resources/summenleiter-256.png "$site/"
cp LICENSE "$site/LICENSE.txt"
qt=$(realpath "${XDG_CACHE_HOME:-$HOME/.cache}/summenleiter/qt-web")
cp "$qt/LGPL-3.0-only.txt" "$site/Qt-LGPL-3.0-only.txt"
cp "$qt/GPL-3.0-only.txt" "$site/Qt-GPL-3.0-only.txt"
sed -n '/^License: SIL-OFL-1.1/,$p' /usr/share/doc/fonts-liberation2/copyright >"$site/Liberation-OFL-1.1.txt"

for f in summenleiter.wasm summenleiter.js; do
    echo "$f: $(stat -c %s "$site/$f") bytes, $(gzip -9 -c "$site/$f" | wc -c) gzipped"
done
echo "$site"
