#!/usr/bin/env bash
# Checks the .deb of a Linux build as a user would meet it: lintian, its
# control fields and files, and, unpacked into a scratch root, bqdm's version,
# the desktop entry and metainfo, the manual pages and the bash completion.
#   packaging/tests/deb-test.sh BUILD_DIR      (after cpack in BUILD_DIR)
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: deb-test.sh BUILD_DIR" >&2; exit 2; }
build="$(cd "$1" && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
deb="$build/packages/bq2018dm_${version}_amd64.deb"
[ -f "$deb" ] || { echo "deb-test.sh: no $deb; make it with ./run package" >&2; exit 1; }
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

passed=0 failed=0
expect() {  # expect WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/    /' || true
    fi
}

# lintian: no error (warnings and notes are shown, not counted).
lintian_out="$(lintian --fail-on none "$deb" 2>&1 | grep -v '^running with root privileges' || true)"
[ -z "$lintian_out" ] || printf '%s\n' "$lintian_out"
expect "lintian reports no errors" "" "$(grep '^E: ' <<<"$lintian_out" || true)"

expect "control fields" \
    "bq2018dm $version utils amd64" \
    "$(dpkg-deb -f "$deb" Package Version Section Architecture | sed 's/^[A-Za-z]*: //' | tr '\n' ' ' | sed 's/ $//')"
depends="$(dpkg-deb -f "$deb" Depends)"
expect "Depends: fonts-liberation, then dpkg-shlibdeps' list" \
    "fonts-liberation libc6 libgcc-s1 libqt6core6 libqt6gui6 libqt6printsupport6 libqt6widgets6 libstdc++6" \
    "$(sed 's/ ([^)]*)//g; s/,//g' <<<"$depends")"

icons=usr/share/icons/hicolor
expect "the package's files" \
    "usr/bin/BQ2018DM
usr/bin/bqdm
usr/share/applications/com.brisquill.BQ2018DM.desktop
usr/share/bash-completion/completions/bqdm
usr/share/doc/bq2018dm/changelog.gz
usr/share/doc/bq2018dm/copyright
$icons/128x128/apps/com.brisquill.BQ2018DM.png
$icons/16x16/apps/com.brisquill.BQ2018DM.png
$icons/256x256/apps/com.brisquill.BQ2018DM.png
$icons/32x32/apps/com.brisquill.BQ2018DM.png
$icons/48x48/apps/com.brisquill.BQ2018DM.png
$icons/64x64/apps/com.brisquill.BQ2018DM.png
$icons/scalable/apps/com.brisquill.BQ2018DM.svg
usr/share/man/man1/BQ2018DM.1.gz
usr/share/man/man1/bqdm.1.gz
usr/share/metainfo/com.brisquill.BQ2018DM.metainfo.xml" \
    "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort)"

dpkg-deb -x "$deb" "$root"
expect "bqdm --version from the unpacked package" \
    "bqdm $version (BQ2018DM, reporting year 2018)" "$("$root/usr/bin/bqdm" --version)"

# The desktop entry and the AppStream metainfo as their validators see them.
expect "desktop-file-validate" "" \
    "$(desktop-file-validate "$root/usr/share/applications/com.brisquill.BQ2018DM.desktop" 2>&1)"
metainfo="$root/usr/share/metainfo/com.brisquill.BQ2018DM.metainfo.xml"
expect "appstreamcli validate" "" "$(appstreamcli validate --no-net "$metainfo" >/dev/null 2>&1 ||
    appstreamcli validate --no-net "$metainfo" 2>&1)"

# Each manual page renders without a warning; its NAME line and footer.
names=("bqdm - the Brisquill data merge module (reporting year 2018) without windows"
    "BQ2018DM - the Brisquill data merge module for the 2018 reporting year")
for page in bqdm BQ2018DM; do
    file="$root/usr/share/man/man1/$page.1.gz"
    expect "man -l $page.1.gz gives no warnings" "" \
        "$(MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)"
    text="$(MANWIDTH=200 man -E ascii -l "$file" 2>/dev/null | col -bx)"
    expect "$page(1) NAME" "${names[0]}" "$(sed -n '/^NAME$/{n;s/^ *//;p}' <<<"$text")"
    expect "$page(1) footer names the version" "BQ2018DM $version" \
        "$(tail -n 1 <<<"$text" | sed 's/ \{2,\}.*//')"
    names=("${names[@]:1}")
done

# The completion offers commands, options, form names with blanks escaped.
complete_words() {  # complete_words WORD... : the completions of the last word
    PATH="$root/usr/bin:$PATH" bash -c '
        . /usr/share/bash-completion/bash_completion
        . "$1/usr/share/bash-completion/completions/bqdm"
        shift
        COMP_WORDS=("$@") COMP_CWORD=$(($# - 1))
        COMP_LINE="$*" COMP_POINT=${#COMP_LINE}
        _bqdm bqdm "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort' _ "$root" "$@"
}
expect "completion of commands" "--help
--version
check
fields
forms
merge
template" "$(complete_words bqdm '')"
expect "completion of a form name" '1095-B
1095-B\ CI' "$(complete_words bqdm fields 1095-B)"
expect "completion of a form name after options" "W-2
W-2C
W-2G" "$(complete_words bqdm template --fields all W)"
expect "completion of an option" "--all" "$(complete_words bqdm check x.txt --a)"

echo "deb: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
