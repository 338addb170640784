#!/usr/bin/env bash
# The manual page says what the program says: the options --help lists are exactly those with
# an entry under OPTIONEN, each once, and the forms of --to exactly those under FORMATE. The
# page renders without a warning, and its name line is what whatis reads.
#
#   check_manual_page.sh PROGRAM PAGE
set -u
program=$1
page=$2
status=0
help=$("$program" --help) || {
    echo "FAIL  $program --help did not succeed"
    exit 1
}

# The tag line after each .TP of a section, with \- as - and font changes and quotes gone.
page_tags() {
    awk -v name="$1" '/^\.SH / { on = ($0 == ".SH " name); next }
                      on && tag { print; tag = 0 }
                      on && /^\.TP/ { tag = 1 }' "$page" |
        sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/"/ /g' -e 's/^\.[A-Z]* //'
}

# WHAT, the names --help gives and those the page gives, one a line: "ok" when they are the
# same and the page names each once, else what differs.
compare() {
    local differences
    if [ -z "$2" ]; then
        echo "FAIL  $1: none found in --help (has its layout changed?)"
        status=1
        return
    fi
    differences=$(diff <(sort -u <<<"$2") <(sort <<<"$3") |
        sed -nE 's/^< (.*)/      only in --help: \1/p; s/^> (.*)/      only (or again) in the page: \1/p')
    if [ -z "$differences" ]; then
        echo "ok    $1: $(sort -u <<<"$2" | tr '\n' ' ')"
    else
        echo "FAIL  $1"$'\n'"$differences"
        status=1
    fi
}

# Lines of --help that describe an option start with it, indented at most six columns:
# "  -o, --output PFAD ..." gives -o and --output.
compare options \
    "$(grep -E '^ {1,6}-' <<<"$help" | grep -oE '^ *--?[A-Za-z0-9-]+|, --?[A-Za-z0-9-]+' | tr -d ' ,')" \
    "$(page_tags OPTIONEN | grep -oE '(^| )--?[A-Za-z0-9][A-Za-z0-9-]*' | tr -d ' ')"
# The forms are the words before "(" from the --to line up to the next option's.
compare forms \
    "$(sed -n '/^  --to /,/^ \{1,6\}-[a-z]/p' <<<"$help" | sed '$d' | grep -oE '[a-z][a-z0-9-]* \(' | tr -d ' (')" \
    "$(page_tags FORMATE | tr -d ' ')"

warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
    echo "FAIL  groff warns:"
    head -n 10 <<<"$warnings"
    status=1
else
    echo "ok    groff -man -ww: no warning"
fi
name_line=$(lexgrog "$page" 2>&1)
if [[ $name_line == *': "brevikon-rtf - '* ]]; then
    echo "ok    whatis line: ${name_line#*: }"
else
    echo "FAIL  lexgrog finds no name line: $name_line"
    status=1
fi
exit $status
