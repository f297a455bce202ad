#!/usr/bin/env bash
# statwright-cli.exe under Wine against the Linux build: every command run by both, in folders
# of their own, must print the same bytes, end with the same status and leave the same files.
# Then what only Windows has: backslashes as separators, names in other scripts, a kill during
# an import recovered by the next command, and a writer kept away by another's lock.
#   tests/windows/run.sh LINUX_CLI WINDOWS_CLI_EXE
set -uo pipefail
linux=$(realpath "$1")
exe=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=${WINEPREFIX:-$(dirname "$exe")/wineprefix} WINEDEBUG=-all
wine=/usr/lib/wine/wine64
failures=0
# Wine makes its prefix on the first start and says so: made before anything is compared.
"$wine" wineboot --init >/dev/null 2>&1
"$wine" "$exe" help >/dev/null 2>&1

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The commands, each run in the current folder by the function named in $cli. What they print
# and their status go to standard output.
battery() {
    run() {
        echo "## $*"
        "$cli" "$@" 2>&1
        echo "status $?"
    }
    for code in ADAE APAE CPUE IPKE IPGE; do run sample "$code.nds" -c "$code"; done
    run help
    run help export
    run identify ADAE.nds
    run identify IPKE.nds
    for code in ADAE CPUE IPKE; do run check "$code.nds"; done
    run export ADAE.nds -o a.csv
    run export IPKE.nds --names -o k.csv
    run export CPUE.nds -f json -o p.json
    run export IPKE.nds --evolutions -o evolutions.csv
    run export CPUE.nds --learnsets --names -o learnsets.csv
    run export ADAE.nds --egg-moves --names -o eggs.csv
    run export IPGE.nds --egg-moves -f json -o eggs.json
    run export IPKE.nds
    cp ADAE.nds original.nds
    # The spreadsheet's round trip: names, semicolons and capitals.
    printf 'Position;Species;HP;Type2;Item1\n0;Bulbasaur;99;Dragon;Leftovers\n3;Charmander;1;fire;0\n' >semi.csv
    run import ADAE.nds semi.csv --dry-run
    run import CPUE.nds - --dry-run <semi.csv
    run import ADAE.nds semi.csv
    run import ADAE.nds semi.csv
    run diff original.nds ADAE.nds
    run diff original.nds ADAE.nds -f markdown
    run diff original.nds ADAE.nds --patch -o patch.csv
    run diff original.nds ADAE.nds --patch -f json -o patch.json
    # A patch made on Diamond, applied to Platinum and HeartGold.
    run apply CPUE.nds patch.csv --dry-run
    run apply CPUE.nds patch.csv
    run apply IPKE.nds patch.json --force
    printf 'position,species,type2,item1\n146,Dratini,dragn,Leftover\n' >bad.csv
    run import CPUE.nds bad.csv
    # A learnset that grows: the archive is written anew, and the image longer.
    printf 'position,species,level,move\n1,Ivysaur,1,Tackle\n1,Ivysaur,5,Growl\n1,Ivysaur,9,Ember\n1,Ivysaur,13,Bite\n' >grow.csv
    run import IPKE.nds grow.csv
    printf 'position,species,move\n3,Charmander,Extreme Speed\n' >egg.csv
    run import CPUE.nds egg.csv
    run diff IPKE.nds IPGE.nds
    run export nothere.nds
    run import a.csv ADAE.nds
    run apply ADAE.nds a.csv
}

linuxCli() { "$linux" "$@"; }
windowsCli() { "$wine" "$exe" "$@"; }
mkdir -p "$work/linux" "$work/windows"
(cd "$work/linux" && cli=linuxCli battery) >"$work/linux.out"
(cd "$work/windows" && cli=windowsCli battery) >"$work/windows.out"
if ! cmp -s "$work/linux.out" "$work/windows.out"; then
    fail "the commands printed otherwise"
    diff "$work/linux.out" "$work/windows.out" | head -40
fi
for file in "$work"/linux/*; do
    name=$(basename "$file")
    cmp -s "$file" "$work/windows/$name" || fail "$name differs"
done
[ "$(ls "$work/linux")" = "$(ls "$work/windows")" ] || fail "the commands left other files"

cd "$work/windows"
win() { "$wine" "$exe" "$@"; }

# Standard output carries the same bytes as a file: no line end made CRLF.
win export ADAE.nds --names >stdout.csv
win export ADAE.nds --names -o file.csv
cmp -s stdout.csv file.csv || fail "standard output differs from -o"

# Both separators, a drive letter, and names with spaces and other scripts.
mkdir -p sub 'with space' 'Pokémon 日本'
win export ADAE.nds --names -o 'sub\t.csv' || fail "export into sub\\t.csv"
cmp -s sub/t.csv file.csv || fail "sub\\t.csv was not written into sub"
cp ADAE.nds 'with space/my rom.nds'
cp ADAE.nds 'Pokémon 日本/ダイヤ é.nds'
win import 'with space\my rom.nds' semi.csv >/dev/null || fail "import into with space\\my rom.nds"
cmp -s 'with space/my rom.nds' ADAE.nds || fail "with space\\my rom.nds holds other bytes"
win import "Z:$(pwd)/Pokémon 日本/ダイヤ é.nds" semi.csv >/dev/null ||
    fail "a drive letter and a name in other scripts"
cmp -s 'Pokémon 日本/ダイヤ é.nds' ADAE.nds || fail "ダイヤ é.nds holds other bytes"
ls 'Pokémon 日本' | grep -q statwright-journal && fail "a journal was left beside ダイヤ é.nds"

# A kill during an import, once its journal is there and once it has written the image: the
# next command finds the image as it was or as it was to be, and the journal gone. The kill
# follows what the test sees on disk, so it lands in the same phase on every run.
win export original.nds -o all.csv
awk -F, 'NR == 1 { print; next } { $3 = 1 + ($1 * 7) % 250; print }' OFS=, all.csv >changed.csv
cp original.nds after.nds
win import after.nds changed.csv >/dev/null || fail "the import to kill does not work"
for phase in journal written; do
    cp original.nds victim.nds
    sleep 0.01
    touch mark
    "$wine" "$exe" import victim.nds changed.csv >/dev/null 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        if { [ $phase = journal ] && [ -e victim.nds.statwright-journal ]; } ||
            { [ $phase = written ] && [ victim.nds -nt mark ]; }; then
            kill -KILL "$pid"
            break
        fi
    done
    wait "$pid" 2>/dev/null
    [ -e victim.nds.statwright-journal ] || fail "the kill once the $phase came too late"
    said=$(win check victim.nds 2>/dev/null) || fail "check after a kill once the $phase: $said"
    [[ $said == "journal: "* ]] || fail "check did not say what it recovered: $said"
    expected=original.nds
    [ $phase = written ] && expected=after.nds
    cmp -s victim.nds $expected || fail "after a kill once the $phase the image is not $expected"
    [ -e victim.nds.statwright-journal ] && fail "a journal stayed after a kill once the $phase"
done

# A writer is kept away while another holds the image's lock.
x86_64-w64-mingw32-gcc-posix -O2 -o hold-lock.exe "$here/hold_lock.c" || fail "hold_lock.c"
cp original.nds locked.nds
"$wine" hold-lock.exe locked.nds 6 >hold.out 2>&1 &
holder=$!
for _ in $(seq 50); do grep -q held hold.out && break; sleep 0.2; done
grep -q held hold.out || fail "the lock was not taken: $(cat hold.out)"
said=$(win import locked.nds semi.csv 2>&1)
status=$?
[ $status -ne 0 ] && [[ $said == *"another program"* ]] ||
    fail "an import beside a held lock: status $status, $said"
cmp -s locked.nds original.nds || fail "the locked image was written"
wait "$holder"
win import locked.nds semi.csv >/dev/null || fail "an import once the lock is given up"

if ((failures)); then
    echo "$failures Windows checks failed"
    exit 1
fi
echo "statwright-cli.exe under Wine: every check passed"
