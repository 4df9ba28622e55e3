#!/usr/bin/env bash
# Installs the build into a fresh prefix under the loosest umask, so that no folder or file of
# the install is writable by others than its owner whatever the umask, and runs the installed
# programs from there: each answers --help, and the control's engine finds the installed secure library (a session to a
# port where nothing listens then fails on the connection, not on the library). Then builds
# the example host program against the installed package and runs it headless, and a program
# that links the core library alone, which must load no Qt Widgets.
# Usage: check_install.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source=$1
build=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix="$root/usr"
(umask 000 && cmake --install "$build" --prefix "$prefix" >/dev/null)
writable=$(find "$prefix" -perm /022 ! -type l)
[ -z "$writable" ] || { echo "installed writable by group or others:"; echo "$writable"; exit 1; }
# One rule installs each file: a second rule would leave a stray copy where the library folder
# is not plain lib/ (lib/x86_64-linux-gnu in the Debian package).
twice=$(sort "$build/install_manifest.txt" | uniq -d)
[ -z "$twice" ] || { echo "installed by more than one rule:"; echo "$twice"; exit 1; }

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
# A secure batch upload starts the installed batch tool, also when the search path does not
# name the installed programs.
windows="$VELLIX_PREFIX/drive_c/windows"
mkdir -p "$windows" "$VELLIX_PREFIX/drive_c/Course" "$VELLIX_PREFIX/drive_c/Dovrelle"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\App Paths\Dovrelle.exe]' \
    '@="C:\\Dovrelle\\Dovrelle.exe"' >"$VELLIX_PREFIX/system.reg"
printf '%s\r\n' '[Dovrelle]' 'course0=biology' '[biology]' 'batch=1' >"$windows/Dovrelle.ini"
"$prefix/bin/vellix" config set-login biology --site 127.0.0.1:1 --user nobody --secure 1 \
    >/dev/null
printf 'lesson\r\n' >"$VELLIX_PREFIX/drive_c/Course/lesson.txt"
printf '%s\r\n' '[Vellix]' 'rdir=/DV/biology/2006_2007/March_2007' \
    'text=C:\Course\lesson.txt' >"$root/host.ini"
printf '%s\n' 'onBox(function (box) { log("box " + box.text); });' 'click("cmdUpload");' \
    >"$root/batch.js"
PATH=/usr/bin:/bin "$prefix/bin/vellix-host" --bag "$root/host.ini" --script "$root/batch.js" \
    >"$root/batch.out" 2>&1 || true
grep -q 'has been launched' "$root/batch.out" || {
    echo "the installed control did not start the installed batch tool:"; cat "$root/batch.out"
    exit 1
}

for file in share/applications/vellix-host.desktop share/man/man1/vellix.1 \
            share/icons/hicolor/48x48/apps/vellixon.png lib/libVellixon.so.1 \
            lib/libVellixonCore.so.1; do
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
cmake -S "$source/tests/install/core-program" -B "$root/core" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=Release >"$root/core.log" 2>&1 &&
    cmake --build "$root/core" >>"$root/core.log" 2>&1 || {
    echo "a program of the core alone did not build against the installed package:"
    cat "$root/core.log"; exit 1
}
"$root/core/core-program" 2>"$root/core.err" || {
    echo "the core program did not take the default answer:"; cat "$root/core.err"; exit 1; }
[ "$(cat "$root/core.err")" = "$(printf 'Vellixon: Go on?\nSure?')" ] || {
    echo "the core's console seam printed:"; cat "$root/core.err"; exit 1; }
if ldd "$root/core/core-program" | grep -E 'libQt6(Widgets|Gui)|libVellixon[.]'; then
    echo "a program of the core alone loads the windows"; exit 1
fi
echo "installed tree works from $prefix"
