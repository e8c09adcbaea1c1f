#!/usr/bin/env bash
# Patches the bundled sample MIDlet with the Linux front end and shows what changed.
set -euo pipefail
build=${1:-build-release}
root=$(cd "$(dirname "$0")/.." && pwd)
demo="$root/$build/demo"
program="$root/$build/app/grandvue"
rm -rf "$demo" && mkdir -p "$demo"

bash "$root/examples/build-sample.sh" "$demo"
echo "== Sample jar before patching: $demo/snake.jar"
javap -cp "$demo/snake.jar" -v com.example.snake.SnakeCanvas | grep -E '^ *super_class'

echo "== grandvue --verbose --no-backup snake.jar (from its own folder)"
(cd "$demo" && "$program" --verbose --no-backup snake.jar)

echo "== Entries of the patched jar"
unzip -l "$demo/snake.jar"
unzip -tq "$demo/snake.jar"
echo "== The screen class now extends:"
javap -cp "$demo/snake.jar" -v com.example.snake.SnakeCanvas | grep -E '^ *super_class'

echo "== The program: $program"
echo "   It runs from where it is. To install it with its manual page and bash completion, in $root:"
printf '   %-34s%s\n' "sudo make install" "into /usr/local (sudo make uninstall removes it)" \
    "make install PREFIX=\$HOME/.local" "no sudo; ~/.local/bin must be on PATH"
