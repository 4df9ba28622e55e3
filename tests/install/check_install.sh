#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed programs from there: each
# answers --help, and the control's engine finds the installed secure library (a session to a
# port where nothing listens then fails on the connection, not on the library). Then builds
# the example host program against the installed package and runs it headless.
# Usage: check_install.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source=$1
build=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix="$root/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

export QT_QPA_PLATFORM=offscreen VELLIX_PREFIX="$root/prefix" VELLIX_PASSWORD=secret
for program in vellix vellix-host hvsftp; do
    "$prefix/bin/$program" --help >"$root/help" 2>&1 || {
        echo "installed $program --help failed:"; cat "$root/help"; exit 1; }
done

if "$prefix/bin/vellix" ftp --secure --site 127.0.0.1:1 --user nobody pwd >"$root/out" 2>&1; then
    echo "a secure session to a closed port succeeded"; exit 1
fi
if ! grep -q 'refused' "$root/out"; then
    echo "the installed engine did not reach the connection:"; cat "$root/out"; exit 1
fi
for file in share/applications/vellix-host.desktop share/man/man1/vellix.1 \
            share/icons/hicolor/48x48/apps/vellixon.png lib/libVellixon.so.1; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
cmake -S "$source/examples/cmake-host" -B "$root/host" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=Release >"$root/host.log" 2>&1 &&
    cmake --build "$root/host" >>"$root/host.log" 2>&1 || {
    echo "the example host did not build against the installed package:"; cat "$root/host.log"
    exit 1
}
rdir=/DV/biology/2006_2007/March_2007
[ "$("$root/host/course-page" "$rdir" 2>/dev/null)" = "rdir $rdir" ] || {
    echo "the example host did not read back rdir"; exit 1; }
echo "installed tree works from $prefix"
