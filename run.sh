#!/usr/bin/env bash
# The main job: a complete silent scan-engine firmware upgrade on the simulated
# terminal, against the simulated scan engine.
#
#   ./run.sh                  upgrade through the flash download library (direct road)
#   ./run.sh --data-server    the same, handed over to the running data server
#   ./run.sh --extract FILE   read the engine's flash back into FILE
#
# Installs missing prerequisites, builds, prepares the terminal, writes a sample
# flash driver and firmware image, starts the engine on the far end of COM4
# (COM14), runs "Q4MUpgradeUtility.exe /s" and shows the utility log, the
# library log, the event log and the engine's verdict. Exits non-zero when the
# run failed.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

mode=direct
extract_to=
case "${1:-}" in
"") ;;
--data-server) mode=data-server ;;
--extract)
    [ $# -ge 2 ] || { echo "usage: ./run.sh [--data-server | --extract FILE]" >&2; exit 2; }
    mode=extract
    extract_to=$2
    ;;
*) echo "usage: ./run.sh [--data-server | --extract FILE]" >&2; exit 2 ;;
esac

say() { printf '\n== %s\n' "$*"; }
quietly() { # log-name command...: runs quietly, shows the output when it fails
    local log=$work/$1.out
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "run.sh: $* failed (whole output in $log)" >&2
        exit 1
    fi
}

work=$root/build/run
mkdir -p "$work"

say "Prerequisites and build"
quietly prerequisites tools/install-prerequisites
quietly configure cmake --preset terminal
quietly build cmake --build --preset terminal
bin=$root/build/bin
for program in Q4MUpgradeUtility.exe Q4MEngineSim.exe Q4MSampleFiles.exe evtlog.exe \
    HVTDataServer.exe HVTBarCodeReaderSim.dll HVTEventLog.dll; do
    [ -f "$bin/$program" ] || { echo "run.sh: build/bin/$program was not built" >&2; exit 1; }
done
if [ ! -f "$bin/Q4MUpgrade.dll" ]; then
    echo "run.sh: build/bin/Q4MUpgrade.dll (the flash download library) is not built yet;" >&2
    echo "        nothing can download firmware to the engine without it." >&2
    exit 3
fi
echo "built into build/bin"

terminal=$root/tools/terminal
cleanup() {
    [ -n "${engine_pid:-}" ] && kill "$engine_pid" 2>/dev/null || true
    if [ -n "${server_pid:-}" ]; then
        "$terminal" run "$bin/HVTDataServer.exe" /stop >/dev/null 2>&1 || true
        wait "$server_pid" 2>/dev/null || true
    fi
    "$terminal" stop >/dev/null 2>&1 || true
}
trap cleanup EXIT
quietly prepare "$terminal" prepare
drive_c=$("$terminal" path)/drive_c
q4m="$drive_c/Storage Card/HVT/Q4M"

say "The terminal's files"
# The utility's default layout: library, driver and image in \Storage Card\HVT\Q4M.
cp "$bin/Q4MUpgrade.dll" "$q4m/Q4MUpgrade.dll"
"$terminal" run "$bin/Q4MSampleFiles.exe" 'C:\Storage Card\HVT\Q4M\Q4MDriver.drx' \
    'C:\Storage Card\HVT\Q4M\Q4Mfirmware.bin' | sed 's/^/  /'
image_windows='C:\Storage Card\HVT\Q4M\Q4Mfirmware.bin'
# The library writes its upgrade log only when the file is already there.
: >"$drive_c/Q4MUpgrd.log"
rm -f "$drive_c/Q4MExtract.log" "$drive_c/Q4MHostCopy.bin"
"$terminal" run "$bin/evtlog.exe" clear >/dev/null

say "Scan engine on COM14"
engine_args=(--port '\\.\COM14' --seconds 300)
if [ "$mode" = extract ]; then
    engine_args+=(--preset "$image_windows")
else
    engine_args+=(--expect "$image_windows")
fi
"$terminal" run "$bin/Q4MEngineSim.exe" "${engine_args[@]}" >"$work/engine.out" 2>&1 &
engine_pid=$!
for _ in $(seq 1 200); do
    grep -q listening "$work/engine.out" 2>/dev/null && break
    kill -0 "$engine_pid" 2>/dev/null || break
    sleep 0.1
done
grep -q listening "$work/engine.out" || { cat "$work/engine.out" >&2; echo "run.sh: the engine did not start" >&2; exit 1; }
sed 's/^/  /' "$work/engine.out"

if [ "$mode" = data-server ]; then
    say "Data server holding COM4"
    "$terminal" run "$bin/HVTDataServer.exe" >"$work/dataserver.out" 2>&1 &
    server_pid=$!
    for _ in $(seq 1 200); do
        grep -q holding "$work/dataserver.out" 2>/dev/null && break
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q holding "$work/dataserver.out" || { cat "$work/dataserver.out" >&2; echo "run.sh: the data server did not start" >&2; exit 1; }
    sed 's/^/  /' "$work/dataserver.out"
fi

utility_args=(/s)
[ "$mode" = extract ] && utility_args+=('/e\Q4MHostCopy.bin')
say "Q4MUpgradeUtility.exe ${utility_args[*]}"
started=$(date +%s)
"$terminal" run "$bin/Q4MUpgradeUtility.exe" "${utility_args[@]}" || true
echo "  finished in $(($(date +%s) - started)) s"

# The engine ends by itself once the driver is removed; do not wait for ever.
for _ in $(seq 1 100); do
    kill -0 "$engine_pid" 2>/dev/null || break
    sleep 0.1
done
kill "$engine_pid" 2>/dev/null || true
wait "$engine_pid" 2>/dev/null || true
engine_pid=

show_log() { # title file lines
    if [ -f "$2" ]; then
        local total
        total=$(tr '\r' '\n' <"$2" | grep -c . || true)
        say "$1 (last $3 of $total lines; all in ${2#"$root"/})"
        { tr '\r' '\n' <"$2" | grep . || true; } | tail -n "$3" | sed 's/^/  /'
    else
        say "$1: none written"
    fi
}
show_log "Utility log" "$q4m/q4muputil.log" 6
if [ "$mode" = extract ]; then
    show_log "Library log" "$drive_c/Q4MExtract.log" 6
else
    show_log "Library log" "$drive_c/Q4MUpgrd.log" 6
fi
say "Event log (warnings and errors)"
{ "$terminal" run "$bin/evtlog.exe" dump || true; } | tail -n 6 | sed 's/^/  /'
[ "$mode" = data-server ] && { say "Data server"; sed 's/^/  /' "$work/dataserver.out" | tail -n 3; }

say "The engine's account"
{ grep -v -e listening -e '^verdict:' "$work/engine.out" || echo "(none: the engine was stopped)"; } |
    tail -n 6 | sed 's/^/  /'

say "Verdict"
ok=0
utility_log=$(tr -d '\r' <"$q4m/q4muputil.log" 2>/dev/null || true)
case "$mode" in
direct) grep -q "Download successful" <<<"$utility_log" && ok=1 ;;
data-server) grep -q "IBarcodeConfig download successful" <<<"$utility_log" && ok=1 ;;
extract) grep -q "Extraction successful" <<<"$utility_log" && ok=1 ;;
esac
if [ "$mode" = extract ]; then
    image="$q4m/Q4Mfirmware.bin"
    copy="$drive_c/Q4MHostCopy.bin"
    if [ -f "$copy" ] && cmp -s -n "$(stat -c %s "$image")" "$image" "$copy"; then
        cp "$copy" "$extract_to"
        echo "  host copy holds the engine's flash (begins with the preset image): yes"
        echo "  written to $extract_to ($(stat -c %s "$copy") bytes)"
    else
        echo "  host copy holds the engine's flash: no"
        ok=0
    fi
else
    verdict=$(grep '^verdict:' "$work/engine.out" || echo "verdict: none (the engine did not finish)")
    echo "  engine $verdict"
    grep -q '^verdict: flash holds the image' "$work/engine.out" || ok=0
    printf '  flash contents equal the image: %s\n' "$([ $ok = 1 ] && echo yes || echo no)"
fi
if [ $ok = 1 ]; then
    echo "  run succeeded"
    exit 0
fi
echo "  run FAILED (engine output in ${work#"$root"/}/engine.out)"
exit 1
