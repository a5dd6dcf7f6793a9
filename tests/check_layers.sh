#!/usr/bin/env bash
# Fails when a source file includes a header from a layer it must not depend on, or when the
# Qt-free layers include Qt. Prints every offending line.
# Usage: check_layers.sh SOURCE_DIR (the src folder)
set -euo pipefail
src=$1
# Each layer and the layers whose headers it may include.
declare -A may=(
    [rules]="rules"
    [runtime]="runtime rules"
    [core]="core rules"
    [chart]="chart core runtime rules"
    [cli]="cli core rules"
    [desktop]="desktop"
    [controls]="controls desktop runtime rules"
    [commands]="commands chart core controls runtime rules"
    [ui]="ui commands chart core controls desktop runtime rules"
    [app]="app ui cli"
)
qt_free="rules runtime core cli chart"
status=0
checked=0
for layer in "${!may[@]}"; do
    [ -d "$src/$layer" ] || continue
    while IFS= read -r file; do
        checked=$((checked + 1))
        allowed=${may[$layer]}
        what="the $layer layer"
        free=$([[ " $qt_free " == *" $layer "* ]] && echo 1 || echo 0)
        while IFS=: read -r line text; do
            header=$(sed -n 's/^#include "\([^"]*\)".*/\1/p' <<<"$text")
            if [ -n "$header" ]; then
                folder=${header%%/*}
                if [ "$folder" = "$header" ]; then
                    echo "$file:$line: $header names no folder"
                    status=1
                elif [[ " $allowed " != *" $folder "* ]]; then
                    echo "$file:$line: $what includes $header"
                    status=1
                fi
            elif [ "$free" = 1 ] && grep -qE '^#include <Q' <<<"$text"; then
                echo "$file:$line: $what is free of Qt, but includes ${text#\#include }"
                status=1
            fi
        done < <(grep -n '^#include' "$file" || true)
    done < <(find "$src/$layer" -name '*.h' -o -name '*.cpp')
done
[ "$checked" -gt 0 ] || { echo "no sources under $src"; exit 1; }
[ $status -eq 0 ] && echo "$checked files include only what their layer may"
exit $status
