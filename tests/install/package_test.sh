#!/bin/sh
# Makes the Debian package from the build tree (cpack -G DEB), installs it with dpkg, checks that
# the program, the library and the SANE backend are where Debian finds them, then removes it and
# purges its configuration, leaving the machine as it was. It needs root and dpkg and skips
# (exit 77) without them, or when a kivoly package is already installed. Runs on one machine are
# serialised by a lock, since dpkg's database is the machine's. The package is left uncompressed
# and dpkg does not sync, to keep the test short.
#   package_test.sh BUILD_DIR CPACK
set -eu
build=$1 cpack=$2
if [ "$(id -u)" -ne 0 ] || ! command -v dpkg >/dev/null || ! command -v flock >/dev/null; then
    echo "package test: needs root, dpkg and flock; skipped"
    exit 77
fi
exec 9>/tmp/kivoly-package-test.lock
flock 9
if dpkg-query -W -f='${Status}' kivoly 2>/dev/null | grep -q 'ok installed'; then
    echo "package test: a kivoly package is installed on this machine; skipped"
    exit 77
fi

work=$(mktemp -d)
installed=0
cleanup() {
    [ "$installed" -eq 0 ] || run_dpkg -P kivoly || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package test: $*" >&2
    exit 1
}
# dpkg without syncing; while another program (apt) holds dpkg's lock, waits for it.
run_dpkg() {
    tries=0
    until dpkg --force-unsafe-io "$@" >"$work/dpkg.log" 2>&1; do
        tries=$((tries + 1))
        if ! grep -q "lock" "$work/dpkg.log" || [ "$tries" -ge 60 ]; then
            cat "$work/dpkg.log" >&2
            return 1
        fi
        sleep 2
    done
}

(cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=none >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
package=$(ls "$work"/kivoly_*.deb)
installed=1
run_dpkg -i "$package" || fail "dpkg -i failed"
dpkg -L kivoly >"$work/files"

for file in /usr/bin/kivoly /usr/include/kivoly/kivoly.h /usr/share/man/man1/kivoly.1 \
    /etc/sane.d/kivoly.conf /etc/sane.d/dll.d/kivoly; do
    [ -f "$file" ] || fail "$file is not installed"
done
ldconfig -p | grep -q 'libkivoly\.so\.1 ' || fail "the dynamic linker does not know libkivoly.so.1"
[ "$(pkg-config --modversion kivoly)" = "$(dpkg-query -W -f='${Version}' kivoly)" ] ||
    fail "pkg-config does not find the installed library"
kivoly --version >/dev/null || fail "the installed program does not run"
# The dll backend finds the installed backend in its own library folder: no LD_LIBRARY_PATH.
mkdir "$work/sane"
echo kivoly >"$work/sane/dll.conf"
echo sim >"$work/sane/kivoly.conf"
listed=$(env -u LD_LIBRARY_PATH SANE_CONFIG_DIR="$work/sane" KIVOLY_HOME="$work" scanimage -L 2>&1) ||
    true
echo "$listed" | grep -q "kivoly:sim" || fail "scanimage does not list the installed backend: $listed"

run_dpkg -r kivoly || fail "dpkg -r failed"
[ ! -e /usr/bin/kivoly ] && [ ! -e /usr/lib/libkivoly.so.1 ] || fail "dpkg -r left files behind"
[ -f /etc/sane.d/kivoly.conf ] || fail "dpkg -r removed a configuration file"
run_dpkg -P kivoly || fail "dpkg -P failed"
installed=0
while read -r path; do
    [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is left after the purge"
done <"$work/files"
dpkg-query -W kivoly >/dev/null 2>&1 && [ -n "$(dpkg-query -W -f='${Status}' kivoly | grep -v not-installed)" ] &&
    fail "dpkg still lists kivoly"
echo "package test: $(basename "$package") installed, removed and purged"
