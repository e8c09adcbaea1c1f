#!/usr/bin/env bash
# Fails unless each shipped program is under 2 MB and stripped, and the Linux one needs no C library
# newer than GLIBC_2.31 (usage: check-release.sh PROGRAM...).
set -euo pipefail
limit=2000000
oldest_glibc=2.31
failed=0

fail() {
    echo "check-release: $1: $2" >&2
    failed=1
}

# The newest GLIBC_x.y version among the program's imported symbols; empty when it imports none.
newest_glibc() {
    objdump -T "$1" 2>/dev/null | grep -o 'GLIBC_[0-9][0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n 1 || true
}

for prog in "$@"; do
    newest=""
    if [ ! -f "$prog" ]; then
        fail "$prog" "missing"
        continue
    fi
    size=$(stat -c %s "$prog")
    [ "$size" -lt "$limit" ] || fail "$prog" "$size bytes, the limit is $limit"
    description=$(file -b "$prog")
    case "$description" in
        *"not stripped"*) fail "$prog" "not stripped ($description)" ;;
    esac
    if objdump -h "$prog" | grep -q '\.debug'; then
        fail "$prog" "has .debug sections"
    fi
    if [[ "$description" == ELF* ]]; then
        newest=$(newest_glibc "$prog")
        if [ -n "$newest" ] && [ "$(printf '%s\n%s\n' "$newest" "$oldest_glibc" | sort -V | tail -n 1)" != "$oldest_glibc" ]; then
            fail "$prog" "imports symbols of GLIBC_$newest (newest allowed: GLIBC_$oldest_glibc)"
            objdump -T "$prog" | grep -E "GLIBC_$newest\b" | head -n 5 >&2
        fi
    fi
    echo "check-release: $prog: $size bytes${newest:+, newest C library symbols GLIBC_$newest}"
done
exit "$failed"
