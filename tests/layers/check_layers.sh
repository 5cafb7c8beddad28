#!/usr/bin/env bash
# Fails when a quoted #include under src/ or tools/ reaches a layer above its own, a sibling
# layer, the desktop plugin from inside the library, or another layer's internal/ header; when
# the platform layer (or the two below it) takes the C interface's records of kivoly.h; when the
# program reaches the library other than through include/kivoly/ (kivoly.h, host.h and the
# interface for tools); and when a test reaches the internal/ header of a layer other than its
# folder's.
#   tests/layers/check_layers.sh [ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/../..}
cd "$root"

# Lowest first; a layer may include its own files and those of the layers before it. The public
# headers of include/kivoly/ come first in the layout, so every layer may use them. The last two
# are siblings: neither may include the other.
order=(kivoly resources platform framework capture decode output sim api ui exports toolface)
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$((2 * i)); done
rank[sane]=$((2 * ${#order[@]}))
rank[tools]=${rank[sane]}
# The desktop plugin sits above the platform layer but outside the library, which only loads it:
# the programs link it in, nothing outside it includes its headers.
rank[desktop]=$((rank[platform] + 1))

# Sets REPLY to the layer of a file.
layer_of() {
    case $1 in
    include/kivoly/*) REPLY=kivoly ;;
    src/platform/desktop/*) REPLY=desktop ;;
    src/api/exports/*) REPLY=exports ;;
    src/api/tools/*) REPLY=toolface ;;
    src/*/*) REPLY=${1#src/} REPLY=${REPLY%%/*} ;;
    tools/*) REPLY=tools ;;
    *) REPLY=unknown ;;
    esac
}

# Sets REPLY to the layer whose internal headers the tests of a folder may use: the folder's
# own name (the desktop's tests are the platform's display back end's).
tested_layer_of() {
    REPLY=${1#tests/}
    REPLY=${REPLY%%/*}
    [[ $REPLY != desktop ]] || REPLY=platform
}

# Sets REPLY to the file an include names, looked up the way the compiler does: beside the
# including file, then in src/, include/ and (for tests) tests/; empty for a system or generated
# header.
resolve() {
    local dir=$1 name=$2 base
    REPLY=
    for base in "$dir" src include tests; do
        if [[ -f $base/$name ]]; then
            REPLY=$base/$name
            [[ $name != *..* ]] || REPLY=$(realpath -m --relative-to=. "$REPLY")
            return
        fi
    done
}

violations=0
report() {
    echo "$1:$2: $3 includes \"$4\" ($5)"
    violations=$((violations + 1))
}

checked=0
while IFS=: read -r file line text; do
    [[ $text =~ \"([^\"]+)\" ]] || continue
    name=${BASH_REMATCH[1]}
    resolve "${file%/*}" "$name"
    target=$REPLY
    [[ -n $target ]] || continue
    checked=$((checked + 1))
    if [[ $file == tests/* ]]; then
        tested_layer_of "$file"
        from=$REPLY
        layer_of "$target"
        if [[ $target == */internal/* && $REPLY != "$from" ]]; then
            report "$file" "$line" "a test of $from" "$name" "internal to $REPLY"
        fi
        continue
    fi
    layer_of "$file"
    from=$REPLY
    layer_of "$target"
    to=$REPLY
    if [[ $target == include/kivoly/kivoly.h && $from =~ ^(resources|platform|framework)$ ]]; then
        report "$file" "$line" "$from" "$name" "the C interface's records are the exports' own"
        continue
    fi
    [[ $from == "$to" ]] && continue
    if [[ ! -v rank[$from] || ! -v rank[$to] ]]; then
        report "$file" "$line" "$from" "$name" "a folder outside the layers"
    elif [[ $target == */internal/* ]]; then
        report "$file" "$line" "$from" "$name" "internal to $to"
    elif [[ $from == tools && $to != kivoly ]]; then
        report "$file" "$line" "$from" "$name" "the program uses include/kivoly/ only"
    elif [[ $to == desktop ]]; then
        report "$file" "$line" "$from" "$name" "only programs link the desktop plugin"
    elif ((rank[$to] >= rank[$from])); then
        report "$file" "$line" "$from" "$name" "$to is not below $from"
    fi
done < <(grep -rnE --include='*.h' --include='*.cpp' --include='*.c' --include='*.inc' \
    --exclude-dir=fixture '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src tools \
    $([[ -d tests ]] && echo tests) | LC_ALL=C sort)

if ((checked == 0)); then
    echo "no includes found under $(pwd)/src or tools: wrong root?"
    exit 1
fi
if ((violations)); then
    echo "$violations include(s) cross a layer the wrong way"
    exit 1
fi
echo "$checked includes keep to the layers"
