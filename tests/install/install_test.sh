#!/bin/sh
# Installs the build into a temporary prefix and checks it as a desktop would see it, starts the
# installed program offscreen on new data directories, and builds the Debian package; as root it
# also installs and removes the package.
# Usage: install_test.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tessorin-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
app=example.velbric.Tessorin
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

expect_file() {
    [ -f "$1" ] || fail "missing $1"
}

# Runs the installed program with a home of its own; stdout and stderr go to $work/out.
run() {
    env XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
        timeout 120 "$@" >"$work/out" 2>&1
}

mkdir -p -m 700 "$work/runtime"

echo "== cmake --install into a temporary prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
expect_file "$prefix/bin/tessorin"
expect_file "$prefix/bin/tessorin-data"
expect_file "$prefix/share/applications/$app.desktop"
expect_file "$prefix/share/metainfo/$app.metainfo.xml"
expect_file "$prefix/share/icons/hicolor/scalable/apps/$app.svg"
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$app.png"
    expect_file "$png"
    file "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not $size x $size"
done
desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "desktop file"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" >"$work/out" 2>&1 ||
    { cat "$work/out"; fail "metainfo"; }

echo "== --help and --version need no display"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/tessorin" --help >"$work/out" 2>&1 ||
    fail "--help without a display"
grep -q -- "--data <directory>" "$work/out" || fail "--help does not list --data"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/tessorin" --version >"$work/out" 2>&1 ||
    fail "--version without a display"
grep -q "^Velbric Tessorin [0-9]" "$work/out" || fail "--version says: $(cat "$work/out")"

echo "== the first start makes the user's own data directory"
own="$work/home/data/Velbric/Tessorin/DATA"
run "$prefix/bin/tessorin" --quit-after-start || { cat "$work/out"; fail "first start"; }
[ -d "$own" ] || fail "no data directory at $own"
run "$prefix/bin/tessorin-data" check "$own" || { cat "$work/out"; fail "the new directory is not consistent"; }
run "$prefix/bin/tessorin" --quit-after-start || { cat "$work/out"; fail "second start"; }

echo "== a directory the program cannot use is refused and left as it was"
message="Cannot Connect To Database. Please Check The Network Connection : "
mkdir "$work/empty"
echo "not a table" >"$work/empty/notes.txt"
for dir in "$work/empty" "$work/missing"; do
    if run "$prefix/bin/tessorin" --quit-after-start --data "$dir"; then
        fail "started on $dir"
    fi
    grep -qF "$message" "$work/out" || fail "no start-up failure message for $dir: $(cat "$work/out")"
    if run "$prefix/bin/tessorin-data" check "$dir"; then fail "the data tool checked $dir"; fi
    grep -qF "$message" "$work/out" || fail "the data tool's message for $dir: $(cat "$work/out")"
done
[ "$(ls -A "$work/empty")" = "notes.txt" ] || fail "files were made in $work/empty: $(ls -A "$work/empty")"
[ ! -e "$work/missing" ] || fail "$work/missing was made"
grep -q "DataDirectory" "$work/home/config/Velbric/Tessorin/registry.ini" &&
    fail "a refused directory was remembered"

echo "== a shared directory named once is remembered"
shared="$work/shared/DATA"
run "$prefix/bin/tessorin-data" create "$shared" || { cat "$work/out"; fail "create"; }
run "$prefix/bin/tessorin" --quit-after-start --data "$shared" || { cat "$work/out"; fail "start on $shared"; }
grep -qF "DataDirectory=sz:$shared" "$work/home/config/Velbric/Tessorin/registry.ini" ||
    fail "$shared was not remembered"
mv "$shared" "$work/shared/away"
# The remembered directory is missing: the start is refused rather than using another one.
if run "$prefix/bin/tessorin" --quit-after-start; then fail "started without $shared"; fi
grep -qF "$shared" "$work/out" || fail "the refusal does not name $shared: $(cat "$work/out")"
[ ! -e "$shared" ] || fail "$shared was made again"

echo "== cpack -G DEB"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/out" 2>&1 ||
    { cat "$work/out"; fail "cpack"; }
deb=$(ls "$work"/package/tessorin_*.deb)
dpkg-deb --field "$deb" Depends >"$work/out"
for dependency in libqt6widgets6 libqt6sql6 libqt6sql6-sqlite qt6-qpa-plugins; do
    grep -q "$dependency" "$work/out" || fail "the package does not depend on $dependency"
done
dpkg-deb --contents "$deb" >"$work/out"
for path in ./usr/bin/tessorin ./usr/bin/tessorin-data ./usr/share/applications/$app.desktop \
    ./usr/share/metainfo/$app.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/$app.png; do
    grep -q " $path\$" "$work/out" || fail "the package lacks $path"
done

# Installing touches the system, so only as root, one test at a time, and never over a copy that
# was installed by someone else.
if [ "$(id -u)" = 0 ] && ! dpkg-query -W -f='${Status}' tessorin 2>/dev/null | grep -q ' installed$'; then
    echo "== dpkg -i and dpkg -r"
    exec 9>"${TMPDIR:-/tmp}/tessorin-install-test.lock"
    flock 9
    dpkg_retry() {
        # Another installation may hold dpkg's lock for a while.
        tries=0
        until dpkg "$@" >"$work/out" 2>&1; do
            tries=$((tries + 1))
            if [ $tries -ge 30 ] || ! grep -q "lock" "$work/out"; then
                cat "$work/out"
                return 1
            fi
            sleep 2
        done
    }
    if dpkg_retry -i "$deb"; then
        run /usr/bin/tessorin --version || fail "the installed package does not start"
        dpkg_retry -r tessorin || fail "dpkg -r"
        [ ! -e /usr/bin/tessorin ] || fail "/usr/bin/tessorin is left after dpkg -r"
        [ ! -e "/usr/share/applications/$app.desktop" ] || fail "the desktop file is left after dpkg -r"
        dpkg-query -W -f='${Status}' tessorin 2>/dev/null | grep -q " installed" &&
            fail "the package is still installed"
        dpkg_retry -P tessorin || true
    else
        fail "dpkg -i"
        dpkg -P tessorin >/dev/null 2>&1 || true
    fi
fi

[ $failures -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "All install checks passed"
