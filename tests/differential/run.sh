#!/usr/bin/env bash
# Runs two builds of bqdm over the same generated extracts and CSVs of
# every form and compares, command by command, the exit status, stdout,
# stderr, the files written and the registry store. A restructuring that
# must not change behaviour is checked with the bqdm from before it.
#   tests/differential/run.sh BEFORE_BQDM AFTER_BQDM [SEED]
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: run.sh BEFORE_BQDM AFTER_BQDM [SEED]" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
before="$(realpath "$1")" after="$(realpath "$2")" seed="${3:-1}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/inputs"
python3 "$here/generate.py" "$before" "$scratch/inputs" "$seed"

# Runs `bqdm ARGS` with the binary $1 in a copy of the inputs; its results in $scratch/$2.
run() {
    local bqdm="$1" side="$2" name="$3"
    shift 3
    local work="$scratch/$side/$name"
    rm -rf "$work" && mkdir -p "$work/config"
    cp -r "$scratch/inputs" "$work/in"
    (
        cd "$work/in"
        set +e
        XDG_CONFIG_HOME="$work/config" HOME="$work" "$bqdm" "$@" >"$work/stdout" 2>"$work/stderr" </dev/null
        echo $? >"$work/status"
    )
    # The folder names the two sides' runs differently; nothing else may differ.
    sed -i "s|$scratch/$side/$name|WORK|g" "$work/stdout" "$work/stderr"
    find "$work/config" -type f -exec sed -i "s|$scratch/$side/$name|WORK|g" {} +
}

compared=0 differing=0
compare() {  # NAME ARGS...: one command on both sides
    local name="$1"
    shift
    run "$before" before "$name" "$@"
    run "$after" after "$name" "$@"
    compared=$((compared + 1))
    if ! diff -r "$scratch/before/$name" "$scratch/after/$name" >"$scratch/diff" 2>&1; then
        differing=$((differing + 1))
        echo "differs: bqdm $*"
        head -n 20 "$scratch/diff"
    fi
    rm -rf "$scratch/before/$name" "$scratch/after/$name"
}

for extract in "$scratch"/inputs/*.txt; do
    name="$(basename "$extract" .txt)"
    compare "$name-check" check "$name.txt"
    compare "$name-check-all" check --all "$name.txt"
    compare "$name-check-json" check --all --json "$name.txt"
    compare "$name-check-strict" check --strict "$name.txt"
    compare "$name-merge" merge "$name.txt"
    compare "$name-preview" preview "$name.txt" --records 2
done
for csv in "$scratch"/inputs/*.csv; do
    name="$(basename "$csv" .csv)"
    form="$(head -c 200 "$scratch/inputs/$name.form")"
    compare "$name-extract" extract "$form" --from "$name.csv" -o "$name-out.txt"
    compare "$name-extract-json" extract "$form" --from "$name.csv" -o "$name-out.txt" --json
done
echo "differential: $compared commands compared, $differing differ"
[ "$differing" -eq 0 ]
