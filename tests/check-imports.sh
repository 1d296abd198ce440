#!/bin/sh
# Fails when the exe imports a DLL outside the set every Windows install has,
# so the launcher never needs runtime DLLs shipped next to it.
# Usage: check-imports.sh OBJDUMP EXE
# Exit: 0 all imports allowed, 1 offending/missing/unparsable, 2 usage.

if [ $# -ne 2 ]; then
    echo "usage: $0 OBJDUMP EXE" >&2
    exit 2
fi
objdump=$1
exe=$2

allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll comctl32.dll msvcrt.dll"

if [ ! -f "$exe" ]; then
    echo "FAIL: $exe: no such file" >&2
    exit 1
fi

if ! dump=$("$objdump" -p "$exe" 2>&1); then
    echo "FAIL: $objdump -p $exe failed:" >&2
    printf '%s\n' "$dump" | head -n 5 >&2
    exit 1
fi

dlls=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' \
       | tr -d '\r' | tr '[:upper:]' '[:lower:]')

# An exe always imports something; finding nothing means the parse broke.
if [ -z "$dlls" ]; then
    echo "FAIL: no imported DLL found in $exe" >&2
    exit 1
fi

list=$(printf '%s\n' "$dlls" | tr '\n' ' ' | sed 's/ $//')
set -f  # DLL names are split on whitespace below, never globbed
bad=
for dll in $dlls; do
    ok=
    for a in $allowed; do
        if [ "$dll" = "$a" ]; then ok=1; break; fi
    done
    [ -n "$ok" ] || bad="$bad $dll"
done

if [ -n "$bad" ]; then
    echo "FAIL: $exe imports DLLs outside the allow-list:$bad" >&2
    echo "all imports: $list" >&2
    exit 1
fi

echo "imports of $exe: $list"
exit 0
