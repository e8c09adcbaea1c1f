#!/usr/bin/env bash
# Packs the release programs for users: a zip for Windows, a tarball for Linux and their SHA256SUMS, byte for
# byte the same from one commit (usage: dist.sh LINUX_PROGRAM WINDOWS_PROGRAM OUTDIR).
set -euo pipefail
linux_program=$1
windows_program=$2
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "$3" && cd "$3" && pwd)

# The version the program prints (grandvue --version) is the one in its source.
version=$(grep -rhoE 'kVersionLine\[\] = "grandvue [^"]+"' "$root/app" | sed -E 's/.*"grandvue ([^"]+)"/\1/' | sort -u)
if [ -z "$version" ] || [ "$(printf '%s\n' "$version" | wc -l)" -ne 1 ]; then
    echo "dist: cannot read one version from kVersionLine in app/ (found: '${version}')" >&2
    exit 1
fi
# Every time stamp in the archives is the commit's, so two runs from one commit give the same bytes.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# Text for Windows: UTF-8 with a byte order mark and CRLF line ends, as the Notepad of Windows 7 and 8 (which
# the program still runs on) needs to show the Russian text and the lines at all.
windows_text() {
    printf '\xef\xbb\xbf'
    sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"
}

# The linker writes the time of the link into the Windows program's header (and the header's checksum covers
# it): the commit's time goes there instead, as the linker itself writes it under SOURCE_DATE_EPOCH.
stamp_pe() {
    python3 - "$1" "$epoch" <<'EOF'
import struct, sys

path, epoch = sys.argv[1], int(sys.argv[2])
data = bytearray(open(path, "rb").read())
pe = struct.unpack_from("<I", data, 0x3C)[0] if len(data) >= 0x40 else 0  # e_lfanew in the MS-DOS header
time_at = pe + 8  # COFF header: Machine, NumberOfSections, TimeDateStamp
checksum_at = pe + 24 + 64  # after the signature and COFF header, CheckSum in the optional header
if pe == 0 or checksum_at + 4 > len(data) or data[pe:pe + 4] != b"PE\0\0":
    sys.exit(f"dist: {path} is not a PE program")
struct.pack_into("<I", data, time_at, epoch)
struct.pack_into("<I", data, checksum_at, 0)
# The image checksum: 16-bit words summed with the carries folded back in, plus the file's length.
total = 0
for (word,) in struct.iter_unpack("<H", data + b"\0" * (len(data) % 2)):
    total = (total & 0xFFFF) + (total >> 16) + word
total = (total & 0xFFFF) + (total >> 16)
struct.pack_into("<I", data, checksum_at, total + len(data))
open(path, "wb").write(data)
EOF
}

# Linux: grandvue-<version>/ with the program, its manual page, the bash completion and the readme. Modes are
# set here, not left to the umask.
top="grandvue-$version"
linux_name="$top-linux-x86_64.tar.gz"
mkdir -p "$stage/linux/$top/completion"
install -m 755 "$linux_program" "$stage/linux/$top/grandvue"
install -m 644 "$root/docs/grandvue.1" "$stage/linux/$top/grandvue.1"
install -m 644 "$root/completion/grandvue" "$stage/linux/$top/completion/grandvue"
sed "s/@VERSION@/$version/g" "$root/dist/README-linux.txt" >"$stage/linux/$top/README"
chmod 644 "$stage/linux/$top/README"
chmod 755 "$stage/linux/$top" "$stage/linux/$top/completion"
tar -C "$stage/linux" --format=gnu --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
    -cf - "$top" | gzip -9 -n >"$stage/$linux_name"

# Windows: the program and README.txt at the zip's root, MS-DOS attributes (archive bit only), deflated.
windows_name="$top-win64.zip"
windows_text "$root/dist/README-windows.txt" >"$stage/README.txt"
install -m 644 "$windows_program" "$stage/grandvue.exe"
stamp_pe "$stage/grandvue.exe"
python3 - "$stage/$windows_name" "$epoch" "$stage/grandvue.exe" "$stage/README.txt" <<'EOF'
import sys, time, zipfile

archive, epoch, program, readme = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
# The MS-DOS time in a zip has no zone: the commit's UTC time, with the format's two-second steps.
stamp = time.gmtime(epoch)[:6]
FILE_ATTRIBUTE_ARCHIVE = 0x20  # winnt.h
with zipfile.ZipFile(archive, "w") as z:
    for name, path in (("grandvue.exe", program), ("README.txt", readme)):
        info = zipfile.ZipInfo(name, date_time=stamp)
        info.create_system = 0  # MS-DOS: Windows reads the attributes, no Unix modes
        info.external_attr = FILE_ATTRIBUTE_ARCHIVE
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
EOF

(cd "$stage" && sha256sum "$windows_name" "$linux_name" >SHA256SUMS)
rm -f "$out"/grandvue-*-win64.zip "$out"/grandvue-*-linux-x86_64.tar.gz "$out/SHA256SUMS"
mv "$stage/$windows_name" "$stage/$linux_name" "$stage/SHA256SUMS" "$out/"
echo "dist: $out/$windows_name, $out/$linux_name, $out/SHA256SUMS"
