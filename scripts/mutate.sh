#!/usr/bin/env bash
# Mutation check of the core: puts one small fault at a time into a core source (a comparison's
# boundary, == and !=, && and ||, + and -, an integer constant one up or down, a rounding function,
# a returned boolean negated, a statement removed), builds incrementally, runs the core tests until
# the first failure within a time limit, puts the file back and tells whether the tests noticed.
#
#   scripts/mutate.sh [--sample N] [--seed S] [--id ID]... [--list] [--timeout SECS] [FILES...]
#   scripts/mutate.sh --self-test
#
# FILES default to every source of the core's model, channels, features and comm. --sample takes N
# mutants picked by the seed (default 1) in turns from each folder, the same N for the same seed and
# sources; without it every mutant runs. --id FILE:LINE:COL:KIND adds one mutant as printed by an
# earlier run (alone it runs only the ids). --list prints the picked mutants and stops. The build
# tree is build-mutate/ (VELORA_MUTATE_BUILD), configured without the GUI on the first run.
# One line per mutant: killed (by the test program named), timeout, survived or nobuild; then the
# score over the mutants that built. A mutated file is put back also when the run is interrupted;
# one left by a killed run is put back at the next start.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELORA_MUTATE_BUILD:-$root/build-mutate}
jobs=${VELORA_MUTATE_JOBS:-2}
state=$build/mutate
journal=$state/mutated-file
backup=$state/original
cd "$root" || exit 2

sample=0 seed=1 list=0 limit=0 selftest=0
ids=() files=()
while [ $# -gt 0 ]; do
    case $1 in
    --sample) sample=${2:?--sample needs N}; shift 2 ;;
    --seed) seed=${2:?--seed needs S}; shift 2 ;;
    --id) ids+=("${2:?--id needs FILE:LINE:COL:KIND}"); shift 2 ;;
    --list) list=1; shift ;;
    --timeout) limit=${2:?--timeout needs SECS}; shift 2 ;;
    --self-test) selftest=1; shift ;;
    -h|--help) sed -n '2,/^set -u/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "mutate.sh: unknown option $1" >&2; exit 2 ;;
    *) files+=("$1"); shift ;;
    esac
done
[ ${#files[@]} -gt 0 ] || mapfile -t files < <(ls src/core/{model,channels,features,comm}/*.cpp | LC_ALL=C sort)

mkdir -p "$state"
picks=$(mktemp -d)
child='' owner=0
restore() {
    [ "$owner" = 1 ] || return 0
    [ -n "$child" ] && kill -TERM "$child" 2>/dev/null && wait "$child" 2>/dev/null
    child=
    if [ -f "$journal" ]; then
        local f
        f=$(cat "$journal")
        # Written afresh (new time stamp) so that the build compiles the original again.
        cat "$backup" >"$f" && rm -f "$backup" "$journal"
    fi
}
trap 'restore; rm -rf "$picks"' EXIT
trap 'restore; exit 130' INT
trap 'restore; exit 143' TERM
trap 'restore; exit 129' HUP
# One mutating run per build tree; the self-test's interrupted run works under its parent's lock.
if [ "$list" = 0 ]; then
    if [ -z "${VELORA_MUTATE_LOCKED:-}" ]; then
        exec 9>"$state/lock"
        flock -n 9 || { echo "mutate.sh: another run is using $build" >&2; exit 2; }
        export VELORA_MUTATE_LOCKED=1
    fi
    owner=1
    if [ -f "$journal" ]; then
        echo "putting back $(cat "$journal"), left mutated by an interrupted run" >&2
        restore
    fi
fi

# In the background and waited for, so that a signal is handled at once, not after a long build.
run() {
    "$@" &
    child=$!
    wait "$child"
    local rc=$?
    child=
    return $rc
}

# Candidates, one a line: FILE TAB LINE TAB COL TAB KIND TAB ORIGINAL TAB REPLACEMENT. Operators are
# taken only with blanks around them (as the formatting writes binary operators), which leaves out
# templates, streams and arrows; string and character literals and comments are masked first.
candidates() {
    awk -v OFS='\t' -v sq="'" '
    function mask(s,   out, i, c, q, n) {
        out = ""; q = ""; n = length(s)
        for (i = 1; i <= n; i++) {
            c = substr(s, i, 1)
            if (q != "") {
                if (c == "\\") { out = out "__"; i++; continue }
                out = out (c == q ? c : "_")
                if (c == q) q = ""
                continue
            }
            if (c == "\"" || (c == sq && substr(s, i - 1, 1) !~ /[0-9A-Fa-f]/)) q = c
            if (c == "/" && substr(s, i + 1, 1) == "/") { while (i++ <= n) out = out " "; break }
            out = out c
        }
        return out
    }
    function emit(col, kind, orig, repl) { print FILENAME, FNR, col, kind, orig, repl }
    function each(m, pat, kind, repl,   off, p) {
        off = 0
        while ((p = index(substr(m, off + 1), pat)) > 0) {
            emit(off + p, kind, pat, repl); off += p
        }
    }
    function constants(m,   i, j, n, v, word) {
        n = length(m); word = "[A-Za-z0-9_." sq "]"
        for (i = 1; i <= n; i++) {
            if (substr(m, i, 1) !~ /[0-9]/ || substr(m, i - 1, 1) ~ word) continue
            for (j = i; substr(m, j + 1, 1) ~ /[0-9]/; j++) {}
            if (substr(m, j + 1, 1) !~ word) {
                v = substr(m, i, j - i + 1) + 0
                # One up or one down, alternating by place so that both occur.
                emit(i, "const", v "", (v == 0 || (FNR + i) % 2 ? v + 1 : v - 1) "")
            }
            i = j
        }
    }
    FNR == 1 { inbool = 0; prev = ";" }
    {
        line = $0
        if (line ~ /^[ \t]*(#|\/\/|\/\*|\*)/) next
        if (line ~ /^[A-Za-z]/) inbool = line ~ /^((static|inline|constexpr|\[\[nodiscard\]\]) )*bool [A-Za-z_][A-Za-z0-9_:]*\(/
        if (line ~ /^}/) inbool = 0
        m = mask(line)
        each(m, " < ", "rel", " <= "); each(m, " <= ", "rel", " < ")
        each(m, " > ", "rel", " >= "); each(m, " >= ", "rel", " > ")
        each(m, " == ", "eq", " != "); each(m, " != ", "eq", " == ")
        each(m, " && ", "logic", " || "); each(m, " || ", "logic", " && ")
        each(m, " + ", "arith", " - "); each(m, " - ", "arith", " + ")
        each(m, "std::lround(", "round", "std::floor("); each(m, "std::llround(", "round", "std::floor(")
        each(m, "std::round(", "round", "std::floor("); each(m, "std::floor(", "round", "std::ceil(")
        each(m, "std::ceil(", "round", "std::floor("); each(m, "std::trunc(", "round", "std::round(")
        # Constants only where code computes or decides with them, not in rows of data tables.
        if (m ~ /(if|while|for) \(|return |[^=!<>]=[^=]| [-+*\/%<>] | [<>!=]= |\? /) constants(m)
        lead = match(m, /[^ \t]/)
        body = substr(m, lead)
        if (body ~ /^return (true|false);/) {
            t = index(m, "return ") + 7
            if (substr(m, t, 4) == "true") emit(t, "bool", "true", "false"); else emit(t, "bool", "false", "true")
        } else if (inbool && body ~ /^return [^;]*;[ \t]*$/) {
            t = index(m, "return ") + 7; e = index(m, ";")
            emit(t, "negate", substr(line, t, e - t), "!(" substr(line, t, e - t) ")")
        }
        # A whole statement on a line of its own: an assignment, a call or an increment.
        opens = gsub(/\(/, "(", body); closes = gsub(/\)/, ")", body)
        if (prev ~ /([;{}):]|else)$/ && opens == closes && body ~ /;[ \t]*$/ &&
            body !~ /^(return|break|continue|throw|delete|case|default|using|goto|if|for|while|switch|do|else|static_assert|sizeof)[^A-Za-z0-9_]/ &&
            body ~ /^((\+\+|--)[A-Za-z_]|[A-Za-z_][A-Za-z0-9_]*((\.|->|::)[A-Za-z_][A-Za-z0-9_]*|\[[^=;]*\])*[ ]*([-+*\/|&^]?= |\+\+|--|\())/) {
            e = length(m); while (substr(m, e, 1) != ";") e--
            emit(lead, "delete", substr(line, lead, e - lead + 1), ";")
        }
        t = m; sub(/[ \t]+$/, "", t)
        if (t != "") prev = t
    }' "$@"
}

# Picks N candidates by the seed (Park-Miller generator: the same picks with any awk), in turns
# from each folder so that every folder is represented.
pick() {
    awk -F '\t' -v OFS='\t' -v seed="$seed" 'BEGIN { x = seed % 2147483646 + 1 }
        { x = (x * 48271) % 2147483647; d = $1; sub(/\/[^\/]*$/, "", d); print d, x, $0 }' |
        LC_ALL=C sort -t $'\t' -k1,1 -k2,2n |
        awk -F '\t' -v OFS='\t' '{ r = ($1 == d) ? r + 1 : 1; d = $1; print r, $0 }' |
        LC_ALL=C sort -t $'\t' -k1,1n -k3,3n | cut -f4- | head -n "$1"
}

mutant_id() { printf '%s:%s:%s:%s' "$1" "$2" "$3" "$4"; }

list_file=$picks/mutants
if [ "$selftest" = 1 ]; then
    : # filled in below
elif [ ${#ids[@]} -gt 0 ] && [ "$sample" = 0 ]; then
    : >"$list_file"
else
    if [ "$sample" -gt 0 ]; then candidates "${files[@]}" | pick "$sample"; else candidates "${files[@]}"; fi >"$list_file"
fi
for id in "${ids[@]}"; do
    IFS=: read -r f l c k <<<"$id"
    candidates "$f" | awk -F '\t' -v l="$l" -v c="$c" -v k="$k" '$2 == l && $3 == c && $4 == k' >"$picks/one"
    [ -s "$picks/one" ] || { echo "mutate.sh: no mutant $id" >&2; exit 2; }
    cat "$picks/one" >>"$list_file"
done

if [ "$list" = 1 ]; then
    while IFS=$'\t' read -r f l c k o r; do
        o=${o# } o=${o% } r=${r# } r=${r% }
        printf '%s  %s -> %s\n' "$(mutant_id "$f" "$l" "$c" "$k")" "$o" "$r"
    done <"$list_file"
    exit 0
fi

if [ ! -f "$build/build.ninja" ]; then
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$build" -G Ninja -DVELORA_BUILD_GUI=OFF -DVELORA_BUILD_BENCH=OFF "${launcher[@]}" \
        >"$state/configure.log" 2>&1 || { echo "mutate.sh: configuring $build failed" >&2; exit 2; }
fi
mapfile -t tests < <(ls tests/core/*_test.cpp | sed 's|.*/||; s|\.cpp$||')

# Runs the core test programs, those that include the mutated file's header first, until one fails
# or their running time (builds not counted) is up. Sets verdict and why (the program that failed or
# ran out of time).
run_tests() { # FILE|"" SECONDS
    local header order t rc start left=$2
    header=$(basename "${1%.cpp}").h
    order=$({ [ -n "$1" ] && grep -lF "/$header\"" tests/core/*_test.cpp | sed 's|.*/||; s|\.cpp$||'; printf '%s\n' "${tests[@]}"; } | awk '!seen[$0]++')
    for t in $order; do
        why=$t
        run ninja -C "$build" -j "$jobs" "$t" >>"$state/build.log" 2>&1 || { verdict=nobuild; return; }
        [ "$left" -gt 0 ] || { verdict=timeout; return; }
        start=$SECONDS
        cd "$build/tests" && run timeout "$left" "$build/bin/$t" --gtest_fail_fast --gtest_brief=1 >"$state/test.log" 2>&1
        rc=$?
        cd "$root" || exit 2
        left=$((left - (SECONDS - start)))
        [ $rc = 124 ] && { verdict=timeout; return; }
        [ $rc = 0 ] || { verdict=killed; return; }
    done
    verdict=survived why=
}

: >"$state/build.log"
if [ "$limit" = 0 ]; then
    run ninja -C "$build" -j "$jobs" "${tests[@]}" >>"$state/build.log" 2>&1 || { echo "mutate.sh: the unmutated core does not build; see $state/build.log" >&2; exit 2; }
    start=$SECONDS
    run_tests "" 3600
    [ "$verdict" = survived ] || { echo "mutate.sh: the unmutated core does not pass its tests ($verdict $why); see $state" >&2; exit 2; }
    limit=$((3 * (SECONDS - start) + 20))
fi

# One mutant: mutate, build, test, put back. Prints the verdict line and leaves the verdict in verdict.
mutate_one() { # FILE LINE COL KIND ORIGINAL REPLACEMENT
    local f=$1 l=$2 c=$3 k=$4 o=$5 r=$6
    verdict='' why=''
    cp "$f" "$backup" && printf '%s\n' "$f" >"$journal"
    if ! awk -v l="$l" -v c="$c" -v o="$o" -v r="$r" '
        FNR == l { if (substr($0, c, length(o)) != o) exit 3; $0 = substr($0, 1, c - 1) r substr($0, c + length(o)) }
        { print }' "$backup" >"$f"; then
        verdict=stale why="the source no longer has '$o' there"
    elif ! run ninja -C "$build" -j "$jobs" "velora_$(basename "$(dirname "$f")")" >>"$state/build.log" 2>&1; then
        verdict=nobuild
    else
        run_tests "$f" "$limit"
    fi
    restore
    o=${o# } o=${o% } r=${r# } r=${r% }
    printf '%-9s %s  %s -> %s%s\n' "$verdict" "$(mutant_id "$f" "$l" "$c" "$k")" "$o" "$r" "${why:+  ($why)}"
}

if [ "$selftest" = 1 ]; then
    # Mutants whose verdict is known: faults the tests must catch, and one that cannot change
    # behaviour (a value equal to the minimum is set to the minimum). Each is found by its text, so
    # the check keeps working when lines move.
    known=("killed|src/core/model/FrequencyCodec.cpp|result.valid = value == v|result.valid = value != v"
           "killed|src/core/model/FrequencyCodec.cpp|v <= row.upper|v < row.upper"
           "survived|src/core/forms/FieldRules.cpp|if (v < r.min) v = r.min;|if (v <= r.min) v = r.min;")
    failed=0
    for entry in "${known[@]}"; do
        IFS='|' read -r want f text repl <<<"$entry"
        hit=$(grep -nF -- "$text" "$f")
        [ "$(printf '%s\n' "$hit" | grep -c .)" = 1 ] || { echo "self-test: '$text' is not on exactly one line of $f" >&2; failed=1; continue; }
        l=${hit%%:*} line=${hit#*:}
        prefix=${line%%"$text"*}
        mutate_one "$f" "$l" $((${#prefix} + 1)) text "$text" "$repl"
        [ "$verdict" = "$want" ] || { echo "self-test: expected $want" >&2; failed=1; }
        git diff --quiet -- "$f" || { echo "self-test: $f differs from the commit after the run" >&2; failed=1; }
    done
    # Interrupted (as by Ctrl-C) while the mutant builds: the file must be back as it was.
    f=src/core/channels/ChannelStore.cpp
    cp "$f" "$state/before-interrupt"
    set -m # the run gets its own process group and takes SIGINT, as from a terminal
    "$0" --timeout 60 --id "$(candidates "$f" | awk -F '\t' '$4 == "rel" { print $1 ":" $2 ":" $3 ":" $4; exit }')" >/dev/null 2>&1 &
    victim=$!
    set +m
    for _ in $(seq 100); do cmp -s "$f" "$state/before-interrupt" || break; sleep 0.2; done
    cmp -s "$f" "$state/before-interrupt" && { echo "self-test: the interrupted run never mutated $f" >&2; failed=1; }
    kill -INT -- -"$victim"
    wait "$victim"
    cmp -s "$f" "$state/before-interrupt" && [ ! -f "$journal" ] || { echo "self-test: an interrupted run left $f mutated" >&2; failed=1; }
    rm -f "$state/before-interrupt"
    [ $failed = 0 ] && echo "self-test passed" || echo "self-test FAILED"
    exit $failed
fi

killed=0 survived=0 timedout=0 nobuild=0
while IFS=$'\t' read -r -u 3 f l c k o r; do
    mutate_one "$f" "$l" "$c" "$k" "$o" "$r"
    case $verdict in
    killed) killed=$((killed + 1)) ;;
    survived) survived=$((survived + 1)) ;;
    timeout) timedout=$((timedout + 1)) ;;
    *) nobuild=$((nobuild + 1)) ;;
    esac
done 3<"$list_file"
built=$((killed + timedout + survived))
[ $built -gt 0 ] || exit 0
echo "score: $((killed + timedout))/$built = $(((killed + timedout) * 1000 / built / 10)).$(((killed + timedout) * 1000 / built % 10))%" \
    "(killed $killed, timed out $timedout, survived $survived, did not build $nobuild)"
