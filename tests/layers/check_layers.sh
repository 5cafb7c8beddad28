#!/usr/bin/env bash
# Fails when a quoted #include under src/ or tools/ reaches a layer above its own, a sibling
# layer, the desktop plugin from inside the library, or another layer's internal/ header.
#   tests/layers/check_layers.sh [ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/../..}
cd "$root"

# Lowest first; a layer may include its own files and those of the layers before it. The public
# headers of include/kivoly/ come first in the layout, so every layer may use them. The last two
# are siblings: neither may include the other.
order=(kivoly resources platform framework capture decode output sim api ui exports)
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$((2 * i)); done
rank[sane]=$((2 * ${#order[@]}))
rank[tools]=${rank[sane]}
# The desktop plugin sits above the platform layer but outside the library, which only loads it:
# the programs link it in, nothing else may include it.
rank[desktop]=$((rank[platform] + 1))

# Sets REPLY to the layer of a file.
layer_of() {
    case $1 in
    include/kivoly/*) REPLY=kivoly ;;
    src/platform/desktop/*) REPLY=desktop ;;
    src/api/exports/*) REPLY=exports ;;
    src/*/*) REPLY=${1#src/} REPLY=${REPLY%%/*} ;;
    tools/*) REPLY=tools ;;
    *) REPLY=unknown ;;
    esac
}

# Sets REPLY to the file an include names, looked up the way the compiler does: beside the
# including file, then in src/ and include/; empty for a system or generated header.
resolve() {
    local dir=$1 name=$2 base
    REPLY=
    for base in "$dir" src include; do
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
    layer_of "$file"
    from=$REPLY
    layer_of "$target"
    to=$REPLY
    [[ $from == "$to" ]] && continue
    if [[ ! -v rank[$from] || ! -v rank[$to] ]]; then
        report "$file" "$line" "$from" "$name" "a folder outside the layers"
    elif [[ $target == */internal/* ]]; then
        report "$file" "$line" "$from" "$name" "internal to $to"
    elif [[ $to == desktop && $from != tools ]]; then
        report "$file" "$line" "$from" "$name" "only programs use the desktop plugin"
    elif ((rank[$to] >= rank[$from])); then
        report "$file" "$line" "$from" "$name" "$to is not below $from"
    fi
done < <(grep -rnE --include='*.h' --include='*.cpp' --include='*.c' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src tools | LC_ALL=C sort)

if ((checked == 0)); then
    echo "no includes found under $(pwd)/src or tools: wrong root?"
    exit 1
fi
if ((violations)); then
    echo "$violations include(s) cross a layer the wrong way"
    exit 1
fi
echo "$checked includes keep to the layers"
