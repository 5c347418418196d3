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
caller=$(pwd)
cd "$(dirname "$0")"
root=$(pwd)
run_started=$(date +%s)

mode=direct
extract_to=
case "${1:-}" in
"") ;;
--data-server) mode=data-server ;;
--extract)
    [ $# -ge 2 ] || { echo "usage: ./run.sh [--data-server | --extract FILE]" >&2; exit 2; }
    mode=extract
    # A relative FILE is the caller's, not the project's.
    case "$2" in
    /*) extract_to=$2 ;;
    *) extract_to=$caller/$2 ;;
    esac
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
# A first build takes minutes: show how far it has come.
if ! cmake --build --preset terminal 2>&1 | tee "$work/build.out" | awk '
    /^\[[0-9]+\/[0-9]+\]/ {
        split(substr($1, 2, length($1) - 2), step, "/")
        percent = int(step[1] * 100 / step[2])
        if (percent >= shown) {
            printf "  %3d%% built (%s of %s steps)\n", percent, step[1], step[2]
            fflush()
            shown = percent - percent % 10 + 10
        }
    }
    /no work to do/ { print "  up to date"; fflush() }'; then
    tail -n 30 "$work/build.out" >&2
    echo "run.sh: the build failed (whole output in $work/build.out)" >&2
    exit 1
fi
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
started=$(date +%s%N)
"$terminal" run "$bin/Q4MUpgradeUtility.exe" "${utility_args[@]}" || true
run_ms=$((($(date +%s%N) - started) / 1000000))
printf '  finished in %d.%01d s\n' $((run_ms / 1000)) $((run_ms % 1000 / 100))

# The engine ends by itself once the driver is removed; do not wait for ever.
for _ in $(seq 1 100); do
    kill -0 "$engine_pid" 2>/dev/null || break
    sleep 0.1
done
kill "$engine_pid" 2>/dev/null || true
wait "$engine_pid" 2>/dev/null || true
engine_pid=

lines_of() { tr '\r' '\n' <"$1" | grep . || true; } # a log's lines, either line end

# The utility log is written from its beginning and keeps an older run's tail:
# this run's lines are those up to its closing line.
utility_log=$q4m/q4muputil.log
say "Utility log"
if [ -f "$utility_log" ]; then
    this_run=$(lines_of "$utility_log" | awk '{ print } /^Closing log file$/ { exit }')
    all=$(lines_of "$utility_log" | wc -l)
    mine=$(grep -c . <<<"$this_run" || true)
    echo "  this run wrote $mine lines; $((all - mine)) older lines follow them in ${utility_log#"$root"/}"
    sed 's/^/  /' <<<"$this_run"
else
    this_run=
    echo "  none written (${utility_log#"$root"/})"
fi
utility_result=$(grep -E '^OnButtonUpgrade\(\), (Download successful|Error upgrading Q4M|IBarcodeConfig download successful|Error IBarcode download|Extraction successful|Error extracting Q4M)\.$' <<<"$this_run" || true)

library_log=$drive_c/Q4MUpgrd.log
[ "$mode" = extract ] && library_log=$drive_c/Q4MExtract.log
say "Library log"
library_end=
if [ -s "$library_log" ]; then
    echo "  $(lines_of "$library_log" | wc -l) lines in ${library_log#"$root"/}; how the run ended:"
    library_end=$(lines_of "$library_log" | grep -E '^\[116\]|ERROR' || true)
    if [ -n "$library_end" ]; then
        head -n 8 <<<"$library_end" | sed 's/^/  /'
    elif [ "$mode" = extract ]; then
        lines_of "$library_log" | grep -E '^\[165\]' | sed 's/^/  /'
        echo "  (no ERROR line: the extract ran to its end)"
    else
        echo "  (no line says how the upgrade ended)"
    fi
else
    echo "  none written (${library_log#"$root"/})"
fi

say "Event log (warnings and errors)"
{ "$terminal" run "$bin/evtlog.exe" dump || true; } | tail -n 6 | sed 's/^/  /'
[ "$mode" = data-server ] && { say "Data server"; sed 's/^/  /' "$work/dataserver.out" | tail -n 3; }

say "The engine's account"
account=$(grep -v -e listening -e '^verdict:' "$work/engine.out" || true)
if [ -n "$account" ]; then
    sed 's/^/  /' <<<"$account"
else
    echo "  none: the engine had not seen its flash driver removed when it was stopped"
fi
writes=$(grep -E '^erasures:' <<<"$account" || true)
wire=$(grep -E '^wire:' <<<"$account" || true)
if [ -n "$writes" ] && [ -n "$wire" ]; then
    whole=$(sed -E 's/.*block writes: ([0-9]+).*/\1/' <<<"$writes")
    same=$(sed -E 's/.*same-word writes: ([0-9]+).*/\1/' <<<"$writes")
    host=$(sed -E 's/^wire: ([0-9]+) bytes from the host.*/\1/' <<<"$wire")
    answers=$(sed -E 's/.*, ([0-9]+) from the engine.*/\1/' <<<"$wire")
    bytes=$((host + answers))
    wire_ms=$((bytes * 10 * 1000 / 38400)) # start bit, eight data bits, stop bit
    echo "  summary: $whole blocks written whole, $same as same-word frames;" \
        "$bytes bytes on the wire ($host from the terminal, $answers from the engine)"
    printf '  time: %d.%01d s for the run; these bytes need %d.%01d s on a 38400 baud line (the simulated line is not paced)\n' \
        $((run_ms / 1000)) $((run_ms % 1000 / 100)) $((wire_ms / 1000)) $((wire_ms % 1000 / 100))
fi

say "Verdict"
# Each party's own word, then whether they agree.
utility_ok=0
case "$utility_result" in *successful.) utility_ok=1 ;; esac
[ -n "$utility_result" ] || utility_result="no result line in the log of this run"
echo "  utility: $utility_result"
library_ok=0
if [ "$mode" = extract ]; then
    [ -s "$library_log" ] && ! grep -q ERROR <<<"$library_end" && library_ok=1
else
    grep -q '^\[116\]' <<<"$library_end" && ! grep -q ERROR <<<"$library_end" && library_ok=1
fi
echo "  library: $([ $library_ok = 1 ] && echo "the run ended without an error" || echo "the run did not succeed")"
engine_ok=0
if [ "$mode" = extract ]; then
    image="$q4m/Q4Mfirmware.bin"
    copy="$drive_c/Q4MHostCopy.bin"
    if [ -f "$copy" ] && cmp -s -n "$(stat -c %s "$image")" "$image" "$copy"; then
        engine_ok=1
        cp "$copy" "$extract_to"
        echo "  host copy: holds the engine's flash (begins with the preset image);" \
            "written to $extract_to ($(stat -c %s "$copy") bytes)"
    else
        echo "  host copy: does not hold the engine's flash"
    fi
else
    verdict=$(grep '^verdict:' "$work/engine.out" || true)
    grep -q '^verdict: flash holds the image' <<<"$verdict" && engine_ok=1
    if [ -n "$verdict" ]; then
        echo "  engine: ${verdict#verdict: }"
    else
        echo "  engine: no verdict (the engine did not finish)"
    fi
fi
if [ $utility_ok != $engine_ok ] || [ $library_ok != $engine_ok ]; then
    if [ $engine_ok = 1 ]; then
        echo "  the parties disagree: the engine holds the new firmware, but the" \
            "$([ $utility_ok = 0 ] && echo utility || echo library) does not report success;" \
            "its log above says why"
    elif [ "$mode" = extract ]; then
        echo "  the parties disagree: the logs report success, but the host copy does not hold the engine's flash"
    elif [ -z "$verdict" ]; then
        echo "  the parties disagree: the logs report success, but the engine never saw its flash" \
            "driver removed, so it gave no verdict (run.sh stopped it 10 s after the utility ended)"
    else
        echo "  the parties disagree: the logs report success, but the engine's flash does not hold the image"
    fi
fi
total=$(($(date +%s) - run_started))
if [ $utility_ok = 1 ] && [ $library_ok = 1 ] && [ $engine_ok = 1 ]; then
    echo "  run succeeded (${total} s in all)"
    exit 0
fi
echo "  run FAILED (${total} s in all; engine output in ${work#"$root"/}/engine.out)"
exit 1
