#!/usr/bin/env bash
# The application's start-up against a bare Qt main window, measured in the same run.
#
# Alternates RUNS starts of bench's bare_qt_window (a main window with a menu bar, a status bar and
# a 160 x 7 table) and RUNS starts of `velora -nosplash --startup-probe` (main window up, channel
# view open), both offscreen with the same environment and a settings folder of their own kept from
# run to run. Each prints its probe line once its first frame has been painted, then ends. Two times
# are taken from just before the process starts: to the probe line, and to the end of the process
# (what a shell's `time` shows, exit included). Alternating spreads the machine's load over both.
#
# With --phases, RUNS further alternating starts of both with VELORA_STARTUP_TRACE set follow; the
# median wall and CPU time of each traced phase is printed (from the process start to main, then
# mark to mark), and the median CPU time to the probe of each with their ratio, which the machine's
# other load disturbs less than the wall clock.
#
# Usage: bench/startup_ratio.sh BIN_DIR [RUNS] [--phases]
# Prints every pair, the medians and their ratios; exits non-zero when either ratio exceeds 1.3.
set -euo pipefail

BIN=$(cd "${1:?usage: bench/startup_ratio.sh BIN_DIR [RUNS]}" && pwd)
RUNS=${2:-21}
PHASES=${3:-}
RATIO_MAX=1.3
VELORA="$BIN/velora"
BARE="$BIN/bare_qt_window"

for p in "$VELORA" "$BARE"; do [ -x "$p" ] || { echo "no program at $p" >&2; exit 2; }; done
# EPOCHREALTIME (bash 5) reads the clock without starting a process of its own.
[ -n "${EPOCHREALTIME:-}" ] || { echo "bash 5 or later is needed" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

to_us() { local t=${1/[.,]/}; echo $((10#$t)); } # "seconds.micros" -> microseconds

# One start of the program with its arguments; prints the microseconds to its probe line (its first
# frame painted) and to its end (the whole process, as a user's shell would time it).
time_start() {
    local config start line shown ended
    # One settings folder per program, kept from run to run as a user's is; the unmeasured first
    # start fills it.
    config="$WORK/config.$(basename "$1")"
    mkdir -p "$config"
    start=$EPOCHREALTIME
    XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$WORK" QT_QPA_PLATFORM=offscreen \
        "$@" >"$WORK/out" 2>"$WORK/err" || { echo "$1 failed:" >&2; cat "$WORK/err" >&2; return 1; }
    ended=$EPOCHREALTIME
    line=$(grep '^startup-probe ' "$WORK/out") || { echo "$1 printed no probe line" >&2; return 1; }
    # The trace marks, as "phase wall-microseconds-since-start cpu-microseconds" lines.
    sed -n 's/^startup-trace \([^ ]*\) realtime_us=\([0-9]*\) cpu_us=\([0-9]*\)$/\1 \2 \3/p' "$WORK/err" |
        awk -v s="$(to_us "$start")" '{ print $1, $2 - s, $3 }' >>"$WORK/marks"
    shown=$(sed -n 's/.*realtime_us=\([0-9]*\).*/\1/p' <<<"$line")
    echo "$((shown - $(to_us "$start"))) $(($(to_us "$ended") - $(to_us "$start")))"
}

ms() { awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'; } # microseconds -> "12.3"

median() { # of microsecond figures
    local sorted n
    sorted=($(printf '%s\n' "$@" | sort -n))
    n=${#sorted[@]}
    if ((n % 2)); then echo "${sorted[n / 2]}"; else echo $(((sorted[n / 2 - 1] + sorted[n / 2]) / 2)); fi
}

# One unmeasured start of each, so neither pays for a cold page cache.
time_start "$BARE" >/dev/null
time_start "$VELORA" -nosplash --startup-probe >/dev/null

bare=() velora=() bareall=() veloraall=()
for ((i = 1; i <= RUNS; i++)); do
    read -r b ball < <(time_start "$BARE")
    read -r v vall < <(time_start "$VELORA" -nosplash --startup-probe)
    printf 'run %2d: painted: bare %6s ms  velora %6s ms   whole process: bare %6s ms  velora %6s ms\n' \
        "$i" "$(ms "$b")" "$(ms "$v")" "$(ms "$ball")" "$(ms "$vall")"
    bare+=("$b") velora+=("$v") bareall+=("$ball") veloraall+=("$vall")
done

ratio_of() { awk -v v="$1" -v b="$2" 'BEGIN { printf "%.2f", v / b }'; }
mb=$(median "${bare[@]}") mv=$(median "${velora[@]}")
mba=$(median "${bareall[@]}") mva=$(median "${veloraall[@]}")
ratio=$(ratio_of "$mv" "$mb")
ratioall=$(ratio_of "$mva" "$mba")
printf 'median of %d runs, to the first frame painted: bare %s ms, velora %s ms, ratio %s (limit %s)\n' \
    "$RUNS" "$(ms "$mb")" "$(ms "$mv")" "$ratio" "$RATIO_MAX"
printf 'median of %d runs, whole process:              bare %s ms, velora %s ms, ratio %s (limit %s)\n' \
    "$RUNS" "$(ms "$mba")" "$(ms "$mva")" "$ratioall" "$RATIO_MAX"

if [ "$PHASES" = --phases ]; then
    # Traced starts, alternating again; the marks carry the wall clock and the process's CPU time.
    : >"$WORK/marks.bare"
    : >"$WORK/marks.velora"
    for ((i = 1; i <= RUNS; i++)); do
        : >"$WORK/marks"
        VELORA_STARTUP_TRACE=1 time_start "$BARE" >/dev/null
        cat "$WORK/marks" >>"$WORK/marks.bare"
        : >"$WORK/marks"
        VELORA_STARTUP_TRACE=1 time_start "$VELORA" -nosplash --startup-probe >/dev/null
        cat "$WORK/marks" >>"$WORK/marks.velora"
    done
    for prog in bare velora; do
        echo "$prog: phases, median of $RUNS traced runs (ms of wall clock, ms of CPU)"
        # A phase runs from the mark before (for "main": from the start of the process) to its mark.
        awk '$1 == "main" { pw = 0; pc = 0 } { print $1, $2 - pw, $3 - pc; pw = $2; pc = $3 }' "$WORK/marks.$prog" |
            awk '{ if (!($1 in w)) order[++n] = $1; w[$1] = w[$1] " " $2; c[$1] = c[$1] " " $3 }
                 END { for (i = 1; i <= n; i++) print order[i] "|" w[order[i]] "|" c[order[i]] }' |
            while IFS='|' read -r phase walls cpus; do
                printf '  %-18s %6s %6s\n' "$phase" "$(ms "$(median $walls)")" "$(ms "$(median $cpus)")"
            done
        awk '$1 == "probe" { print $3 }' "$WORK/marks.$prog" >"$WORK/cpu.$prog"
    done
    cb=$(median $(cat "$WORK/cpu.bare"))
    cv=$(median $(cat "$WORK/cpu.velora"))
    printf 'CPU time to the probe, median: bare %s ms, velora %s ms, ratio %s\n' "$(ms "$cb")" "$(ms "$cv")" \
        "$(awk -v v="$cv" -v b="$cb" 'BEGIN { printf "%.2f", v / b }')"
fi
awk -v r="$ratio" -v a="$ratioall" -v max="$RATIO_MAX" 'BEGIN { exit !(r <= max && a <= max) }'
