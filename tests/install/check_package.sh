#!/usr/bin/env bash
# Makes the Debian package of the build and looks inside: its dependencies name the Qt and
# libssh2 libraries the programs link and the SVG plugins that draw the icons, and the programs
# run from the unpacked tree.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$root" >"$root/cpack.log" 2>&1 || {
    cat "$root/cpack.log"; exit 1; }
package=$(ls "$root"/vellixon_*.deb)
depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6widgets6 libqt6webenginewidgets6 libssh2-1 libqt6svg6; do
    [[ "$depends" == *"$library"* ]] || { echo "Depends lacks $library: $depends"; exit 1; }
done
dpkg-deb -x "$package" "$root/tree"
export QT_QPA_PLATFORM=offscreen VELLIX_PREFIX="$root/prefix"
"$root/tree/usr/bin/vellix" --help | grep -q '^usage: vellix'
"$root/tree/usr/bin/vellix-host" --help 2>/dev/null | grep -q '^usage: vellix-host'
echo "$(basename "$package"): $depends"
