#!/bin/sh
# Reports size and imported DLLs of the built launchers. A report, not a gate:
# always exits 0.
# Usage: bench/size.sh [DIST_DIR]   (default: dist)
# OBJDUMP32 / OBJDUMP64 override the objdump used for each build.

dist=${1:-dist}
objdump32=${OBJDUMP32:-i686-w64-mingw32-objdump}
objdump64=${OBJDUMP64:-x86_64-w64-mingw32-objdump}
target32_kib=96

report() {
    name=$1 exe=$2 objdump=$3 target_kib=$4
    echo "== $name: $exe"
    if [ ! -f "$exe" ]; then
        echo "   missing"
        return
    fi
    bytes=$(wc -c < "$exe" | tr -d ' ')
    kib=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1024 }')
    echo "   size:   $bytes bytes ($kib KiB)"
    if [ -n "$target_kib" ]; then
        limit=$((target_kib * 1024))
        if [ "$bytes" -le "$limit" ]; then
            verdict="within target"
        else
            verdict="OVER target by $((bytes - limit)) bytes"
        fi
        echo "   target: $target_kib KiB ($limit bytes), $verdict"
    else
        echo "   target: none"
    fi
    if ! command -v "$objdump" >/dev/null 2>&1; then
        echo "   imports: ($objdump not found)"
        return
    fi
    dlls=$("$objdump" -p "$exe" 2>/dev/null | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p')
    if [ -z "$dlls" ]; then
        echo "   imports: (none found)"
    else
        echo "   imports:"
        printf '%s\n' "$dlls" | sed 's/^/     /'
    fi
}

report win32 "$dist/win32/kindling.exe" "$objdump32" "$target32_kib"
report win64 "$dist/win64/kindling.exe" "$objdump64" ""
exit 0
