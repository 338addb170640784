#!/bin/bash
# No code the wide runs' objects share with the rest of the program may hold AVX
# instructions: an inline function or template emitted there could be the copy the linker
# keeps for every caller, and would then stop the program on a processor without AVX2. Only
# the three entries, which their callers guard, may.
# Usage: check_wide_symbols.sh NM OBJDUMP OBJECT...
set -u
nm=$1
objdump=$2
shift 2
entries='^(_ZN8brevikon17WritePlainRunWideE|_ZN8brevikon23AppendPlainRunBytesWideE|_ZN8brevikon9text_runs16WriteTextRunWideE)'
status=0
checked=0
for object in "$@"; do
    case $object in *_wide.cpp.o | *_wide.cpp.obj) ;; *) continue ;; esac
    checked=$((checked + 1))
    entryFound=0
    while read -r type symbol; do
        if [[ $symbol =~ $entries ]]; then
            entryFound=1
            continue
        fi
        [[ $type == [TtWw] ]] || continue
        if "$objdump" -d --no-show-raw-insn "--disassemble=$symbol" "$object" |
            grep -qE '^ *[0-9a-f]+:[[:space:]]+v[a-z0-9]+[[:space:]]|%ymm'; then
            echo "$object: $symbol holds AVX instructions"
            status=1
        fi
    done < <("$nm" --defined-only --extern-only "$object" | awk '{ print $2, $3 }')
    if [ "$entryFound" -ne 1 ]; then
        echo "$object: no entry found"
        status=1
    fi
done
if [ "$checked" -ne 3 ]; then
    echo "expected the three wide objects, found $checked"
    status=1
fi
exit $status
