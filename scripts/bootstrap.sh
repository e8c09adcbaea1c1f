#!/usr/bin/env bash
# Installs, only when missing, the Debian packages a target needs (usage: bootstrap.sh [all|linux]):
# "linux" is the Linux program's build and the demo, "all" (the default) adds the Windows tree and the tests.
set -euo pipefail

# The Linux program (static release: libc.a comes with g++, libz.a with zlib1g-dev) and the demo's sample
# jar (javac, jar and javap from the JDK; unzip lists the patched jar).
linux_packages=(g++ cmake make zlib1g-dev default-jdk-headless unzip)
other_packages=(
    libgtest-dev googletest
    mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
    wine wine64 xvfb xauth fonts-liberation fonts-dejavu-core
    zip p7zip-full libarchive-tools python3 file
    clang libclang-rt-14-dev clang-format hyperfine time
    libcommons-lang3-java libguava-java locales
)

case "${1:-all}" in
    linux) packages=("${linux_packages[@]}") ;;
    all) packages=("${linux_packages[@]}" "${other_packages[@]}") ;;
    *)
        echo "usage: bootstrap.sh [all|linux]" >&2
        exit 2
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Russian locale the Windows suite runs under (Wine then takes code page 1251 as the ANSI one); the
# Linux set has no locales package, so only the full set makes it.
if [ "${1:-all}" = all ] && ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
    echo "bootstrap: generating the ru_RU.UTF-8 locale"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    if grep -q '^# *ru_RU.UTF-8 UTF-8' /etc/locale.gen; then
        $sudo_cmd sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'ru_RU.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
    fi
    $sudo_cmd locale-gen >/dev/null
fi
