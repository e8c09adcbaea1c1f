#!/usr/bin/env bash
# Checks what dist.sh packed, as a user gets it: the sums, the tarball's layout and program (run from another
# folder), the zip's layout, Windows program and readme (usage: check-dist.sh OUTDIR).
set -euo pipefail
out=$(cd "$1" && pwd)
limit=2000000 # bytes: the Windows program's size budget, as check-release.sh has it
failed=0

fail() {
    echo "check-dist: $1" >&2
    failed=1
}

# The one file in OUTDIR matching a pattern.
only() {
    local matches
    mapfile -t matches < <(compgen -G "$out/$1")
    if [ ${#matches[@]} -ne 1 ]; then
        echo "check-dist: want one $1 in $out, found ${#matches[@]}" >&2
        exit 1
    fi
    printf '%s\n' "${matches[0]}"
}

tarball=$(only 'grandvue-*-linux-x86_64.tar.gz')
zip=$(only 'grandvue-*-win64.zip')
version=${tarball##*/grandvue-}
version=${version%-linux-x86_64.tar.gz}
top="grandvue-$version"
[ "$zip" = "$out/$top-win64.zip" ] || fail "the archives name two versions: ${tarball##*/}, ${zip##*/}"

(cd "$out" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the archives"
[ "$(cut -d' ' -f3 "$out/SHA256SUMS" | sort | tr '\n' ' ')" = "${tarball##*/} ${zip##*/} " ] ||
    fail "SHA256SUMS does not list exactly the two archives"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The tarball: owner root, the listed files only, the program and the completion usable from elsewhere.
listing=$(tar -tzf "$tarball" | sort | tr '\n' ' ')
want="$top/ $top/README $top/completion/ $top/completion/grandvue $top/grandvue $top/grandvue.1 "
[ "$listing" = "$want" ] || fail "tarball holds '$listing', want '$want'"
tar -tvzf "$tarball" --numeric-owner | awk '$2 != "0/0" { bad = 1 } END { exit bad }' ||
    fail "tarball has entries not owned by 0/0"
mkdir -p "$work/linux" "$work/elsewhere"
tar -xzf "$tarball" -C "$work/linux"
printed=$(cd "$work/elsewhere" && ../linux/"$top"/grandvue --version) || fail "the tarball's program does not run"
[ "$printed" = "grandvue $version" ] || fail "the tarball's program prints '$printed', want 'grandvue $version'"
case $(file -b "$work/linux/$top/grandvue") in
    *"statically linked"*", stripped"*) ;;
    *) fail "the tarball's program is not a stripped static program: $(file -b "$work/linux/$top/grandvue")" ;;
esac
bash -c 'source "$1" && complete -p grandvue' _ "$work/linux/$top/completion/grandvue" >/dev/null ||
    fail "the tarball's completion does not register for grandvue"
grep -q "^Grandvue $version " "$work/linux/$top/README" || fail "README does not name version $version"

# The zip: the program and README.txt at its root; a stripped 64-bit Windows program under the size budget.
listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listing" = "README.txt grandvue.exe " ] || fail "zip holds '$listing', want 'README.txt grandvue.exe'"
unzip -tq "$zip" >/dev/null || fail "zip does not test clean"
unzip -q "$zip" -d "$work/windows"
exe="$work/windows/grandvue.exe"
size=$(stat -c %s "$exe")
[ "$size" -lt "$limit" ] || fail "grandvue.exe is $size bytes, the limit is $limit"
x86_64-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-x86-64' || fail "grandvue.exe is not pei-x86-64"
x86_64-w64-mingw32-objdump -t "$exe" | grep -qx 'no symbols' || fail "grandvue.exe has a symbol table"
if x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.debug'; then
    fail "grandvue.exe has .debug sections"
fi
readme="$work/windows/README.txt"
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] || fail "README.txt does not begin with a BOM"
# Every line ends in CR LF: no LF without the CR before it.
[ "$(tr -cd '\n' <"$readme" | wc -c)" = "$(grep -c $'\r$' "$readme")" ] || fail "README.txt has lines without CRLF"
grep -q "Grandvue $version " "$readme" || fail "README.txt does not name version $version"

[ "$failed" -eq 0 ] && echo "check-dist: ${tarball##*/}, ${zip##*/} ($size bytes for grandvue.exe) and SHA256SUMS check out"
exit "$failed"
