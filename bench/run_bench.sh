#!/usr/bin/env bash
# Times `bqdm check` and `bqdm merge` on generated extracts against `cp` of
# the same file in the same invocation. Ratios to cp carry across machines;
# absolute seconds do not. Peak resident memory comes from GNU time.
#
# usage: bench/run_bench.sh BUILD_DIR [--large]
#   --large  adds 10M-record extracts (about 4.4 GB for W-2C, plus its output)
# BENCH_RUNS sets the runs per command (default 3; the best one counts).
#
# Extracts are kept in bench/data/ and reused while the generator version
# and arguments are unchanged. Exit status 1 when a command fails or a
# target is missed, so a regression cannot pass unnoticed.
set -euo pipefail
export LC_ALL=C  # '.' as decimal point in $EPOCHREALTIME and awk output

usage() {
    echo "usage: $0 BUILD_DIR [--large]" >&2
    exit 2
}
[ $# -ge 1 ] || usage
[ -d "$1" ] || usage
build=$(cd "$1" && pwd)
shift
large=0
for arg in "$@"; do
    case $arg in
        --large) large=1 ;;
        *) usage ;;
    esac
done

bench_dir=$(cd "$(dirname "$0")" && pwd)
data_dir=$bench_dir/data
bqdm=$build/bin/bqdm
gen=$build/bin/gen_extract
for tool in "$bqdm" "$gen"; do
    [ -x "$tool" ] || { echo "run_bench: $tool is not built" >&2; exit 1; }
done
if ! [ -x /usr/bin/time ] || ! /usr/bin/time -f '%M' -o /dev/null true 2>/dev/null; then
    echo "run_bench: /usr/bin/time (Debian package 'time') is needed for peak memory" >&2
    exit 1
fi

runs=${BENCH_RUNS:-3}
seed=2018
sizes=(10000 100000 1000000)
[ $large -eq 1 ] && sizes+=(10000000)
shapes=(w2c misc)
commands=(cp check merge)

# The targets: times at 1M and 10M records of the W-2C shape, memory everywhere.
check_max_cp=3
merge_max_cp=5
max_rss_mb=64
growth_10m=10.5

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The merge records the extract's folder in its configuration; keep that
# away from the user's real one.
export XDG_CONFIG_HOME=$tmp/config
mkdir -p "$XDG_CONFIG_HOME" "$data_dir"

label() {  # RECORDS -> 10k, 1M, ...
    case $1 in
        *000000) echo "${1%000000}M" ;;
        *000) echo "${1%000}k" ;;
        *) echo "$1" ;;
    esac
}

# %.10g, not awk's default %.6g: mawk would print byte counts as 3.66816e+09.
calc() { awk "BEGIN { printf \"%.10g\", $1 }"; }

# Each extract gets a folder of its own, so that whatever a command writes
# next to it can be found and removed without knowing its file name.
prepare_extract() {  # SHAPE RECORDS -> sets $extract
    local shape=$1 records=$2 name dir stamp
    name=$shape-$(label "$records")
    dir=$data_dir/$name
    extract=$dir/extract.txt
    stamp="$("$gen" --version) --form $shape --records $records --seed $seed"
    if [ -f "$extract" ] && [ -f "$data_dir/$name.params" ] &&
        [ "$(cat "$data_dir/$name.params")" = "$stamp $(stat -c %s "$extract")" ]; then
        return
    fi
    rm -rf "$dir" "$data_dir/$name.params"
    mkdir -p "$dir"
    echo "generating $name ..." >&2
    "$gen" --form "$shape" --records "$records" --seed "$seed" -o "$extract"
    # Written last: an interrupted generation is never mistaken for a whole one.
    echo "$stamp $(stat -c %s "$extract")" >"$data_dir/$name.params"
}

remove_outputs() {  # EXTRACT
    find "$(dirname "$1")" -mindepth 1 ! -path "$1" -exec rm -rf {} +
}

output_bytes() {  # EXTRACT -> bytes written next to it
    find "$(dirname "$1")" -mindepth 1 -type f ! -path "$1" -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f\n", s }'
}

# One timed run; prints "SECONDS RSS_KB". Stale outputs are removed and
# dirty pages flushed first, untimed, so that no run pays for the
# write-back or the unlinking of an earlier one.
timed_run() {  # EXTRACT CMD...
    local extract=$1 t0 t1
    shift
    remove_outputs "$extract"
    sync
    t0=$EPOCHREALTIME
    /usr/bin/time -f '%M' -o "$tmp/rss" "$@" >/dev/null 2>"$tmp/err" || return 1
    t1=$EPOCHREALTIME
    echo "$(calc "$t1 - $t0") $(tail -n 1 "$tmp/rss")"
}

declare -A best peak in_bytes out_bytes

bench_case() {  # SHAPE RECORDS
    local shape=$1 records=$2 key=$1,$2 i cmd result wall rss
    prepare_extract "$shape" "$records"
    in_bytes[$key]=$(stat -c %s "$extract")
    cat "$extract" >/dev/null  # warm the page cache
    for cmd in "${commands[@]}"; do
        best[$key,$cmd]=
        peak[$key,$cmd]=
    done
    # Interleaved, so that a slow spell of the machine hits all three alike.
    for ((i = 0; i < runs; i++)); do
        for cmd in "${commands[@]}"; do
            case $cmd in
                cp) set -- cp "$extract" "$(dirname "$extract")/copy.txt" ;;
                *) set -- "$bqdm" "$cmd" "$extract" ;;
            esac
            if ! result=$(timed_run "$extract" "$@"); then
                echo "run_bench: '$*' failed:" >&2
                cat "$tmp/err" >&2
                exit 1
            fi
            read -r wall rss <<<"$result"
            if [ -z "${best[$key,$cmd]}" ] || [ "$(calc "$wall < ${best[$key,$cmd]}")" = 1 ]; then
                best[$key,$cmd]=$wall
            fi
            if [ -z "${peak[$key,$cmd]}" ] || [ "$rss" -gt "${peak[$key,$cmd]}" ]; then
                peak[$key,$cmd]=$rss
            fi
            [ "$cmd" = merge ] && out_bytes[$key]=$(output_bytes "$extract")
        done
    done
    remove_outputs "$extract"
    if [ "${out_bytes[$key]}" -eq 0 ]; then
        echo "run_bench: bqdm merge wrote nothing next to $extract" >&2
        exit 1
    fi
}

mb() { calc "$1 / 1e6"; }
rss_mb() { calc "$1 * 1024 / 1e6"; }
# Sub-millisecond runs of cp would divide by almost nothing.
floor() { calc "$1 < 0.0001 ? 0.0001 : $1"; }

print_table() {  # RECORDS
    local records=$1 shape cmd key wall
    echo
    echo "== $(label "$records") records (best of $runs runs; MB = 10^6 bytes) =="
    printf '%-5s %9s %10s  %-11s %8s %7s %9s %12s\n' \
        shape "input MB" "output MB" command "best s" "x cp" "MB/s" "peak RSS MB"
    for shape in "${shapes[@]}"; do
        key=$shape,$records
        for cmd in "${commands[@]}"; do
            wall=$(floor "${best[$key,$cmd]}")
            printf '%-5s %9.1f %10.1f  %-11s %8.3f %7.2f %9.1f %12.1f\n' "$shape" "$(mb "${in_bytes[$key]}")" \
                "$(mb "${out_bytes[$key]}")" "$cmd" "$wall" "$(calc "$wall / $(floor "${best[$key,cp]}")")" \
                "$(calc "${in_bytes[$key]} / 1e6 / $wall")" "$(rss_mb "${peak[$key,$cmd]}")"
        done
    done
}

for records in "${sizes[@]}"; do
    for shape in "${shapes[@]}"; do
        bench_case "$shape" "$records"
    done
    print_table "$records"
done

missed=0
verdict() {  # CONDITION -> sets $verdict; not in a subshell, so that $missed sticks
    if [ "$(calc "$1")" = 1 ]; then verdict=ok; else verdict=MISSED; missed=1; fi
}

echo
echo "== targets =="
for records in 1000000 10000000; do
    [ -n "${best[w2c,$records,cp]:-}" ] || continue
    for cmd in check merge; do
        limit=$check_max_cp
        [ $cmd = merge ] && limit=$merge_max_cp
        ratio=$(calc "${best[w2c,$records,$cmd]} / $(floor "${best[w2c,$records,cp]}")")
        verdict "$ratio <= $limit"
        printf '%-5s %-5s w2c   %6.2fx cp  <= %sx      %s\n' "$cmd" "$(label "$records")" "$ratio" "$limit" "$verdict"
    done
done
if [ $large -eq 1 ]; then
    for cmd in check merge; do
        ratio=$(calc "${best[w2c,10000000,$cmd]} / ${best[w2c,1000000,$cmd]}")
        verdict "$ratio <= $growth_10m"
        printf '%-5s 10M   w2c   %6.2fx 1M  <= %sx   %s\n' "$cmd" "$ratio" "$growth_10m" "$verdict"
    done
else
    echo "10M targets not measured (run with --large)"
fi
for records in "${sizes[@]}"; do
    for shape in "${shapes[@]}"; do
        for cmd in check merge; do
            rss=$(rss_mb "${peak[$shape,$records,$cmd]}")
            verdict "$rss <= $max_rss_mb"
            printf '%-5s %-5s %-5s %6.1f MB  <= %s MB   %s\n' "$cmd" "$(label "$records")" "$shape" "$rss" \
                "$max_rss_mb" "$verdict"
        done
    done
done
exit $missed
