#!/usr/bin/env bash
# Times `bqdm merge` on generated extracts against two floors measured on the
# same files in the same invocation: reference_join (the least work that
# still yields comma-joined rows) and cat (just reading the file). Ratios to
# those floors carry across machines; absolute seconds do not.
#
# usage: bench/run_bench.sh BUILD_DIR [--large]
#   --large  adds 10M-record extracts (about 5 GB for W-2C, plus its output)
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
merge=$build/bin/bqdm
gen=$build/bin/gen_extract
ref=$build/bin/reference_join
for tool in "$merge" "$gen" "$ref"; do
    [ -x "$tool" ] || { echo "run_bench: $tool is not built" >&2; exit 1; }
done

runs=5
seed=2018
sizes=(10000 100000 1000000)
[ $large -eq 1 ] && sizes+=(10000000)
shapes=(w2c misc)
declare -A fields=([w2c]=98 [misc]=12)
commands=(merge reference cat)
declare -A command_name=([merge]="bqdm merge" [reference]="reference_join" [cat]="cat")

# Without GNU time the wall clock still works; only the RSS columns go blank.
have_time=0
if [ -x /usr/bin/time ] && /usr/bin/time -f '%e %M' -o /dev/null true 2>/dev/null; then
    have_time=1
else
    echo "run_bench: /usr/bin/time (Debian package 'time') not found; peak RSS is not measured" >&2
fi

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

# Each extract gets a folder of its own, so that whatever the merge writes
# next to it can be found and sized without knowing its file name.
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
    rm -f "$data_dir/reference_join.out"
}

output_bytes() {  # EXTRACT -> bytes the merge wrote next to it
    find "$(dirname "$1")" -mindepth 1 -type f ! -path "$1" -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f\n", s }'
}

# One timed run; prints "SECONDS RSS_KB" (RSS_KB empty without GNU time).
# Stale outputs are removed and dirty pages flushed first, untimed, so that
# no run pays for the write-back or the unlinking of an earlier one.
timed_run() {  # EXTRACT CMD...
    local extract=$1 t0 t1 rss=
    shift
    remove_outputs "$extract"
    sync
    t0=${EPOCHREALTIME:-}
    if [ $have_time -eq 1 ]; then
        if [ -n "$t0" ]; then
            /usr/bin/time -f '%M' -o "$tmp/rss" "$@" >/dev/null 2>"$tmp/err" || return 1
            t1=$EPOCHREALTIME
        else
            { TIMEFORMAT=%3R; time /usr/bin/time -f '%M' -o "$tmp/rss" "$@" >/dev/null 2>"$tmp/err"; } \
                2>"$tmp/wall" || return 1
        fi
        rss=$(tail -n 1 "$tmp/rss")
    elif [ -n "$t0" ]; then
        "$@" >/dev/null 2>"$tmp/err" || return 1
        t1=$EPOCHREALTIME
    else
        { TIMEFORMAT=%3R; time "$@" >/dev/null 2>"$tmp/err"; } 2>"$tmp/wall" || return 1
    fi
    if [ -n "$t0" ]; then
        echo "$(calc "$t1 - $t0") $rss"
    else
        echo "$(cat "$tmp/wall") $rss"
    fi
}

declare -A best peak in_bytes out_bytes ref_bytes

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
                merge) set -- "$merge" merge "$extract" ;;
                reference) set -- "$ref" "${fields[$shape]}" "$extract" "$data_dir/reference_join.out" ;;
                cat) set -- cat "$extract" ;;
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
            if [ -n "$rss" ] && { [ -z "${peak[$key,$cmd]}" ] || [ "$rss" -gt "${peak[$key,$cmd]}" ]; }; then
                peak[$key,$cmd]=$rss
            fi
            case $cmd in
                merge) out_bytes[$key]=$(output_bytes "$extract") ;;
                reference) ref_bytes[$key]=$(stat -c %s "$data_dir/reference_join.out") ;;
            esac
        done
    done
    remove_outputs "$extract"
    if [ "${out_bytes[$key]}" -eq 0 ]; then
        echo "run_bench: bqdm merge wrote nothing next to $extract" >&2
        exit 1
    fi
}

mb() { calc "$1 / 1e6"; }
fmt() { awk -v v="$2" "BEGIN { printf \"$1\", v }"; }

print_table() {  # RECORDS
    local records=$1 shape cmd key wall rss out
    echo
    echo "== $(label "$records") records (best of $runs runs; MB = 10^6 bytes) =="
    printf '%-5s %10s  %-15s %9s %9s %12s %12s %10s\n' \
        shape "input MB" command "best s" "MB/s" "records/s" "peak RSS MB" "output MB"
    for shape in "${shapes[@]}"; do
        key=$shape,$records
        for cmd in "${commands[@]}"; do
            wall=${best[$key,$cmd]}
            # Sub-millisecond runs of cat would divide by almost nothing.
            wall=$(calc "$wall < 0.0001 ? 0.0001 : $wall")
            rss=${peak[$key,$cmd]:+$(fmt %.1f "$(calc "${peak[$key,$cmd]} * 1024 / 1e6")")}
            case $cmd in
                merge) out=$(fmt %.1f "$(mb "${out_bytes[$key]}")") ;;
                reference) out=$(fmt %.1f "$(mb "${ref_bytes[$key]}")") ;;
                *) out=- ;;
            esac
            printf '%-5s %10.1f  %-15s %9.4f %9.1f %12.0f %12s %10s\n' "$shape" "$(mb "${in_bytes[$key]}")" \
                "${command_name[$cmd]}" "$wall" "$(calc "${in_bytes[$key]} / 1e6 / $wall")" \
                "$(calc "$records / $wall")" "${rss:--}" "$out"
        done
    done
    for shape in "${shapes[@]}"; do
        key=$shape,$records
        printf '%-5s merge/reference wall %.2fx' "$shape" \
            "$(calc "${best[$key,merge]} / (${best[$key,reference]} < 0.0001 ? 0.0001 : ${best[$key,reference]})")"
        if [ -n "${peak[$key,merge]}" ]; then
            printf ', merge RSS/(in+out) %.2f' \
                "$(calc "${peak[$key,merge]} * 1024 / (${in_bytes[$key]} + ${out_bytes[$key]})")"
        fi
        echo
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
echo "merge <= 2.0x reference at 1M:"
for shape in "${shapes[@]}"; do
    key=$shape,1000000
    ratio=$(calc "${best[$key,merge]} / ${best[$key,reference]}")
    verdict "$ratio <= 2.0"
    printf '  %-5s %6.2fx  %s\n' "$shape" "$ratio" "$verdict"
done
echo "merge 10M <= 11x merge 1M:"
if [ $large -eq 1 ]; then
    for shape in "${shapes[@]}"; do
        ratio=$(calc "${best[$shape,10000000,merge]} / ${best[$shape,1000000,merge]}")
        verdict "$ratio <= 11"
        printf '  %-5s %6.2fx  %s   (reference_join %.2fx)\n' "$shape" "$ratio" "$verdict" \
            "$(calc "${best[$shape,10000000,reference]} / ${best[$shape,1000000,reference]}")"
    done
else
    echo "  not measured (run with --large)"
fi
echo "merge peak RSS <= 1.2*(in+out)+32MB:"
if [ $have_time -eq 1 ]; then
    for records in "${sizes[@]}"; do
        for shape in "${shapes[@]}"; do
            key=$shape,$records
            rss=$(calc "${peak[$key,merge]} * 1024 / 1e6")
            limit=$(calc "1.2 * (${in_bytes[$key]} + ${out_bytes[$key]}) / 1e6 + 32")
            verdict "$rss <= $limit"
            printf '  %-5s %4s %9.1f MB <= %9.1f MB  %s\n' "$shape" "$(label "$records")" "$rss" "$limit" "$verdict"
        done
    done
else
    echo "  not measured (no /usr/bin/time)"
fi
exit $missed
