# The checks a package test counts: `expect WHAT EXPECTED ACTUAL` passes when
# the two texts are equal and shows their difference when not.
passed=0 failed=0
expect() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/    /' || true
    fi
}
