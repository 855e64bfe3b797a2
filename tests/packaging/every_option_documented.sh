#!/bin/sh
# Usage: every_option_documented.sh LUMBREL_SCAN MAN_PAGE COMPLETION
# Fails, naming each omission, when a long option of LUMBREL_SCAN --help is
# missing from the man page (where "-" is written "\-") or the completion.
set -eu
scan=$1 man=$2 completion=$3

options=$("$scan" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
[ -n "$options" ] || { echo "no long options in $scan --help" >&2; exit 1; }

# mentions OPTION FILE: the file names the option as a whole word.
mentions() { sed 's/\\-/-/g' "$2" | grep -qE -- "$1([^a-z0-9-]|\$)"; }

missing=0
for option in $options; do
    for file in "$man" "$completion"; do
        if ! mentions "$option" "$file"; then
            echo "$option is missing from $file" >&2
            missing=1
        fi
    done
done
[ "$missing" -ne 0 ] || echo "all $(echo "$options" | wc -l) long options documented"
exit "$missing"
