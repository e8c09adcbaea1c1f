#!/usr/bin/env bash
# Installs, only when missing, every Debian package the build, the demo and the tests need.
set -euo pipefail

packages=(
    g++ cmake make zlib1g-dev libgtest-dev googletest
    mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
    wine wine64 xvfb xauth fonts-liberation fonts-dejavu-core
    zip unzip p7zip-full libarchive-tools python3 default-jdk-headless file
    clang libclang-rt-14-dev clang-format hyperfine time
    libcommons-lang3-java libguava-java locales
)

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

# The Russian locale the Windows suite runs under (Wine then takes code page 1251 as the ANSI one).
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
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
