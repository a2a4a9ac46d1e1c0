#!/usr/bin/env bash
# Builds the downloads of the current commit twice, each by tools/release.sh in a fresh clone
# of its own, and compares jnotes.exe, the setup program and the zip byte for byte. The clones
# lie in folders of different names and depths; the second build runs with its clock 400 days
# ahead (faketime), in another time zone and with another umask. Given a folder of downloads
# (the release's own, or files fetched from the project page), it compares those with the first
# build too. Names the first difference of every file that differs, and fails then.
#   tools/check_reproducible.sh [downloads folder]
set -euo pipefail
theirs=${1:+$(realpath "$1")}
cd "$(dirname "$0")/.."

tools/deps.sh
commit=$(git rev-parse HEAD)
work=$(mktemp -d /tmp/jnotes-repeat.XXXXXX)
first=$work/one/jnotes
second=$work/second-build/in-a-deeper-folder/jnotes

# build <folder> <umask> <command that starts the release script>...
build() {
    local dir=$1 mask=$2
    shift 2
    mkdir -p "$(dirname "$dir")"
    if ! (
        umask "$mask"
        git clone -q --no-checkout . "$dir"
        git -C "$dir" checkout -q --detach "$commit"
        cd "$dir"
        env -u SOURCE_DATE_EPOCH -u JNOTES_SIGN_PKCS12 -u JNOTES_SIGN_PASSWORD "$@" \
            bash -c 'echo "clock: $(date), umask $(umask), in $PWD"; exec tools/release.sh --no-check'
    ) >"$dir.log" 2>&1; then
        tail -n 30 "$dir.log" >&2
        echo "check_reproducible: the build in $dir failed (log: $dir.log)" >&2
        exit 1
    fi
    echo "built $commit: $(head -n 1 "$dir.log")"
}

build "$first" 022 TZ=UTC
build "$second" 077 TZ=LOC-13:45 NO_FAKE_STAT=1 faketime -f +400d

differ=0
# compare <label> <file> <file>
compare() {
    if cmp -s -- "$2" "$3"; then
        echo "  same: $1"
        return
    fi
    differ=1
    local report at
    report=$(cmp -- "$2" "$3" 2>&1 || true)
    at=$(grep -o 'byte [0-9]*' <<<"$report" | cut -d ' ' -f 2)
    [[ $report == *EOF* ]] && at=$((at + 1)) # the shorter file ends there
    printf '  DIFFERENT: %s: first at byte %d (offset 0x%x), %d %s, sizes %d and %d\n' \
        "$1" "$at" $((at - 1)) "$(cmp -l -- "$2" "$3" 2>/dev/null | wc -l)" \
        "bytes differ in their common length" "$(stat -c %s -- "$2")" "$(stat -c %s -- "$3")"
}

# A signed download is compared without its signature, which only its signer can make.
signed() {
    i686-w64-mingw32-objdump -p "$1" 2>/dev/null |
        awk '/Security Directory/ { size = $4 } END { exit size ~ /^0*$/ }'
}

downloads=$(cd "$first/build-release/dist" && printf "%s\n" * | grep -vx SHA256SUMS)
echo "the two builds:"
for name in $downloads; do
    compare "$name" "$first/build-release/dist/$name" "$second/build-release/dist/$name"
done
if [[ -n $theirs ]]; then
    echo "$theirs against the first build:"
    found=0
    for name in $downloads; do
        file=$theirs/$name
        if [[ ! -f $file ]]; then
            echo "  not there: $name"
            continue
        fi
        found=1
        if signed "$file"; then
            osslsigncode remove-signature -in "$file" -out "$work/$name" >/dev/null
            compare "$name, its signature removed" "$work/$name" "$first/build-release/dist/$name"
        else
            compare "$name" "$file" "$first/build-release/dist/$name"
        fi
    done
    if ((!found)); then
        echo "  none of the downloads is there"
        differ=1
    fi
fi

if ((differ)); then
    echo "check_reproducible: the downloads differ; both builds are kept in $work" >&2
    exit 1
fi
rm -rf -- "$work"
echo "check_reproducible: every build of $commit gives the same downloads"
