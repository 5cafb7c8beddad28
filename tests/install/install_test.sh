#!/bin/sh
# Installs the build tree into a temporary prefix, checks what lands where, builds a small C host
# against the install twice (found through pkg-config, then through find_package(Kivoly)) and
# has scanimage load the installed SANE backend.
#   install_test.sh BUILD_DIR HOST_SOURCE_DIR C_COMPILER CMAKE
set -eu
build=$1 host=$2 cc=$3 cmake=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() {
    echo "install test: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log"
for file in bin/kivoly include/kivoly/kivoly.h include/kivoly/host.h share/man/man1/kivoly.1 \
    share/kivoly/Kivoly.d8a share/kivoly/user-guide.html \
    etc/sane.d/kivoly.conf etc/sane.d/dll.d/kivoly; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
library=$(find "$prefix" -name libkivoly.so.1)
[ -n "$library" ] || fail "libkivoly.so.1 is not installed"
libdir=$(dirname "$library")
[ -L "$libdir/libkivoly.so" ] || fail "the development link libkivoly.so is missing"
readelf -d "$library" | grep -q 'SONAME.*\[libkivoly\.so\.1\]' || fail "libkivoly.so.1 has no SONAME"
if [ -n "$(find "$build/src" -name libkivoly-desktop.so)" ]; then
    [ -f "$libdir/libkivoly-desktop.so" ] || fail "the desktop plugin is not beside the library"
    if readelf -d "$library" | grep -q 'NEEDED.*SDL'; then fail "the library needs SDL2 when it loads"; fi
fi
backend=$(find "$prefix" -path '*/sane/libsane-kivoly.so.1')
[ -n "$backend" ] || fail "the SANE backend is not installed"
"$prefix/bin/kivoly" --version >/dev/null || fail "the installed program does not run"
for command in capture decode encode preview settings; do
    grep -q "^\.SS $command\$" "$prefix/share/man/man1/kivoly.1" ||
        fail "the manual page does not describe kivoly $command"
done

expected="kivoly 01010002 640x480"
export KIVOLY_HOME="$work"
PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --exists kivoly || fail "pkg-config does not find kivoly"
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Werror "$host/host.c" -o "$work/host-pkgconfig" \
    $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs kivoly)
[ "$(LD_LIBRARY_PATH="$libdir" "$work/host-pkgconfig")" = "$expected" ] || fail "pkg-config host"

"$cmake" -S "$host" -B "$work/host-cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" \
    >"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; fail "find_package(Kivoly) failed"; }
"$cmake" --build "$work/host-cmake" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "CMake host"; }
[ "$("$work/host-cmake/host")" = "$expected" ] || fail "find_package host"

if command -v scanimage >/dev/null; then
    listed=$(SANE_CONFIG_DIR="$prefix/etc/sane.d" LD_LIBRARY_PATH=$(dirname "$backend") scanimage -L)
    echo "$listed" | grep -q "kivoly:sim" || fail "scanimage does not list the installed backend: $listed"
fi
echo "installed into $prefix:"
sed -n 's/^-- Installing: //p' "$work/install.log"
