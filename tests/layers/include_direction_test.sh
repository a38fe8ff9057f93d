#!/usr/bin/env bash
# Every include of the core and of the GUI points into the file's own folder or a folder below it.
# Prints each offending include as file:line and fails when there is one.
set -euo pipefail
src=${1:?usage: include_direction_test.sh SRC_FOLDER}

core_layers=(base model forms channels features dataset comm print)
gui_layers=(views forms grid features channels print comm frame app)

rank() { # rank LAYER NAMES...
    local want=$1 i=0
    shift
    for name in "$@"; do
        [[ $name == "$want" ]] && { echo "$i"; return; }
        i=$((i + 1))
    done
    echo -1
}

bad=0
# part: core or gui; the GUI may include any core header, the core never a GUI one.
check_part() {
    local part=$1
    shift
    local layers=("$@") file line text target folder from to
    [[ -d $src/$part ]] || return 0
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")
        [[ $target == */* ]] || continue
        folder=${target%%/*}
        [[ -e $src/$part/$target ]] || continue # a header of the core seen from the GUI, or a system one
        from=$(rank "$(sed -E "s#^$src/$part/([^/]*)/.*#\1#" <<<"$file")" "${layers[@]}")
        to=$(rank "$folder" "${layers[@]}")
        if ((from < 0)); then
            echo "$file:$line: folder is in no layer of the $part"
            bad=1
        elif ((to < 0 || to > from)); then
            echo "$file:$line: includes $target, which is above or beside its layer"
            bad=1
        fi
    done < <(grep -rHnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$part" --include='*.h' --include='*.cpp' || true)
}

check_part core "${core_layers[@]}"
check_part gui "${gui_layers[@]}"
# The core knows no window.
if grep -rHnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]Q' "$src/core" --include='*.h' --include='*.cpp'; then
    bad=1
fi
exit "$bad"
