#!/usr/bin/env bash
# The program must run on a bare Windows: every DLL it imports ships with Windows.
#
#   check_imports.sh OBJDUMP PROGRAM.exe
set -u
objdump=$1
program=$2
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|shlwapi|advapi32|bcrypt|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$'
imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ -z "$imports" ]; then
    echo "no import table found in $program"
    exit 1
fi
status=0
while read -r dll; do
    if [[ ${dll,,} =~ $allowed ]]; then
        echo "ok    $dll"
    else
        echo "FAIL  $dll is not a DLL of Windows"
        status=1
    fi
done <<<"$imports"
exit $status
