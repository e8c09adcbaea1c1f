#!/usr/bin/env bash
# Builds the test games with the JDK: the MIDP stand-ins, three MIDlet jars, the full-screen canvas and the
# runner that starts a game in a verifying JVM.
# Usage: build-games.sh OUTDIR -> OUTDIR/midp.jar, OUTDIR/{canvasgame,gamecanvasgame,mixedgame}.jar,
#        OUTDIR/WideCv.class (com/vidorurud/fullscreen/WideCv), OUTDIR/RunGame.class
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

javac -nowarn --release 8 -d "$work/midp" $(find "$here/midp" -name '*.java')
(cd "$work/midp" && jar cf "$out/midp.jar" javax)
javac -nowarn --release 8 -cp "$work/midp" -d "$work/payload" "$here/payload/com/vidorurud/fullscreen/WideCv.java"
cp "$work/payload/com/vidorurud/fullscreen/WideCv.class" "$out/WideCv.class"
javac -nowarn --release 8 -d "$out" "$here/RunGame.java"

# Each game: its sources, and a manifest naming its MIDlet (the source whose name ends in MIDlet).
for game in canvasgame gamecanvasgame mixedgame; do
    javac -nowarn --release 8 -cp "$work/midp" -d "$work/$game" $(find "$here/src/$game" -name '*.java')
    midlet=$(cd "$here/src/$game" && find . -name '*MIDlet.java' | sed 's|^\./||; s|\.java$||; s|/|.|g')
    printf 'Manifest-Version: 1.0\nMIDlet-1: %s, , %s\nMIDlet-Name: %s\nMIDlet-Vendor: Grandvue tests\nMIDlet-Version: 1.0\nMicroEdition-Configuration: CLDC-1.1\nMicroEdition-Profile: MIDP-2.0\n' \
        "$game" "$midlet" "$game" >"$work/$game.mf"
    (cd "$work/$game" && jar cfm "$out/$game.jar" "$work/$game.mf" games)
done
