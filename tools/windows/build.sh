#!/usr/bin/env bash
# Cross-builds Pivota for Windows (x86_64, MinGW-w64) on this Debian machine into build-win/ and
# packs it: build-win/package/Pivota/ (the programs and everything they need), the portable zip
# build-win/Pivota-<version>.zip and the installer build-win/Pivota-<version>-setup.exe.
#
# Qt for Windows comes from the toolchain beside the clone (../shared/toolchains/qt6-mingw, or
# PIVOTA_QT_MINGW=<that folder>): its archive is unpacked into build-win/toolchain/. Without the
# archive, its recipe (build-qt-mingw.sh in that folder) builds Qt from Debian's sources into
# build-win/qt-build/ (about 15 minutes on 2 cores). Without either the script stops and says so.
#
# Options: --no-package builds only (the tests need no package). Environment: JOBS (default: the
# number of cores), PIVOTA_CMAKE_ARGS (further configure options).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=${BUILD_WIN_DIR:-"$ROOT/build-win"}
BUILD="$OUT/build"
JOBS=${JOBS:-$(nproc)}
PACKAGE=1
[ "${1:-}" = "--no-package" ] && PACKAGE=0

step() { echo "==> $*"; }
fail() { echo "tools/windows/build.sh: $*" >&2; exit 1; }

# What the cross build needs from Debian: the MinGW-w64 compilers (posix threads, as Qt was built),
# ninja, Wine (tests, the Qt tools' checks), NSIS (the installer), Qt's host tools of the same
# version (moc, rcc, uic, lrelease), Qt's German texts, SimpleIni's header, zip, and the fonts that
# the tests under Wine measure with; Wine's own fonts for the window (tools/windows/screenshots.sh).
PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-tools ninja-build cmake wine nsis zip
          qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
          libsimpleini-dev fonts-dejavu-core fonts-wine)
missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "The Windows build needs these Debian packages. Install them once with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
    step "Installing Debian packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# ---------------------------------------------------------------- Qt for Windows
QT_SOURCE=${PIVOTA_QT_MINGW:-"$ROOT/../shared/toolchains/qt6-mingw"}
ARCHIVE="$QT_SOURCE/qt6.4.2-mingw-w64-x86_64.tar.xz"
RECIPE="$QT_SOURCE/build-qt-mingw.sh"
QT_PREFIX="$OUT/toolchain/install"
mkdir -p "$OUT"
if [ ! -x "$QT_PREFIX/bin/qt-cmake" ] || { [ -f "$ARCHIVE" ] && [ "$ARCHIVE" -nt "$QT_PREFIX/bin/qt-cmake" ]; }; then
    if [ -f "$ARCHIVE" ]; then
        step "Unpacking Qt for Windows from $ARCHIVE"
        rm -rf "$OUT/toolchain"
        mkdir -p "$OUT/toolchain"
        tar -xJf "$ARCHIVE" -C "$OUT/toolchain"
        touch "$QT_PREFIX/bin/qt-cmake"
    elif [ -f "$RECIPE" ]; then
        step "No Qt archive; building Qt for Windows from Debian's sources with $RECIPE (about 15 minutes on 2 cores)"
        [ "$(id -u)" -eq 0 ] || fail "building Qt for Windows needs root (its recipe installs Debian packages and source packages)"
        W="$OUT/qt-build" JOBS="$JOBS" bash "$RECIPE"
        rm -rf "$OUT/toolchain"
        mkdir -p "$OUT/toolchain"
        cp -a "$OUT/qt-build/install" "$OUT/toolchain/install"
    else
        fail "no Qt for Windows: neither $ARCHIVE nor its recipe $RECIPE exists. Put the toolchain folder qt6-mingw (shared/toolchains/qt6-mingw) beside the clone or name it with PIVOTA_QT_MINGW=<folder>."
    fi
fi
[ -x "$QT_PREFIX/bin/qt-cmake" ] || fail "$QT_PREFIX holds no Qt (bin/qt-cmake is missing)"

# ---------------------------------------------------------------- build
if [ ! -f "$BUILD/build.ninja" ] || [ -n "${PIVOTA_CMAKE_ARGS:-}" ]; then
    step "Configuring the Windows build in $BUILD"
    launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    # The manual's pictures are drawn by the program itself, which a cross build cannot run: the
    # Linux build beside it (./test.sh) has drawn them.
    pictures=()
    if [ -d "$ROOT/build/docs/manual/de" ]; then
        pictures=(-DPIVOTA_MANUAL_PICTURES="$ROOT/build/docs/manual")
    fi
    # shellcheck disable=SC2086
    "$QT_PREFIX/bin/qt-cmake" -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$QT_PREFIX/lib/cmake/Qt6/mingw-w64-x86_64-posix.cmake" \
        "${launcher[@]}" "${pictures[@]}" ${PIVOTA_CMAKE_ARGS:-} >"$OUT/configure.log" 2>&1 ||
        { tail -40 "$OUT/configure.log"; fail "configuring failed (log: $OUT/configure.log)"; }
fi
step "Building in $BUILD (full log: $OUT/build.log)"
set +e
cmake --build "$BUILD" -j"$JOBS" >"$OUT/build.log" 2>&1
status=$?
set -e
if [ "$status" -ne 0 ]; then
    grep -E -B2 -A8 'error|Error' "$OUT/build.log" | head -60 || true
    fail "the build failed (log: $OUT/build.log)"
fi

[ "$PACKAGE" -eq 1 ] || exit 0

# ---------------------------------------------------------------- package
VERSION=$(sed -n 's/^project(pivota VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
PKG="$OUT/package/Pivota"
step "Laying out $PKG"
rm -rf "$OUT/package"
mkdir -p "$PKG/platforms" "$PKG/styles" "$PKG/imageformats" "$PKG/translations"
cp "$BUILD/src/pivota.exe" "$BUILD/src/pivota.com" "$PKG/"
for dll in Qt6Core Qt6Gui Qt6Network Qt6Widgets Qt6PrintSupport Qt6SerialPort; do
    cp "$QT_PREFIX/bin/$dll.dll" "$PKG/"
done
cp "$QT_PREFIX/plugins/platforms/qwindows.dll" "$QT_PREFIX/plugins/platforms/qoffscreen.dll" "$PKG/platforms/"
cp "$QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$PKG/styles/"
cp "$QT_PREFIX/plugins/imageformats/qico.dll" "$PKG/imageformats/"
# The MinGW runtime the programs and Qt link.
MINGW_GCC=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$MINGW_GCC/libstdc++-6.dll" "$MINGW_GCC/libgcc_s_seh-1.dll" /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$PKG/"
# The English interface and Qt's own German texts (standard buttons, edit menus).
cp "$BUILD/src/translations/"*.qm "$PKG/translations/"
for qm in qtbase_de qtserialport_de; do
    cp "/usr/share/qt6/translations/$qm.qm" "$PKG/translations/"
done
# Qt finds its plugins beside the program without a qt.conf; one would only be read.
cp "$ROOT/tools/windows/LIESMICH.txt" "$PKG/"
# The manual in both languages, as the program shows it (F1), to be read in a browser as well.
mkdir -p "$PKG/manual"
cp -r "$BUILD/docs/manual/de" "$BUILD/docs/manual/en" "$PKG/manual/"

# Every DLL a program or plugin imports must be in the package or be Windows' own.
step "Checking the package's DLLs"
have=$(cd "$PKG" && find . -iname '*.dll' -printf '%f\n' | tr 'A-Z' 'a-z')
lacking=()
while IFS= read -r -d '' binary; do
    while read -r dll; do
        lower=$(echo "$dll" | tr 'A-Z' 'a-z')
        case "$lower" in
            qt6*|libstdc++*|libgcc*|libwinpthread*)
                grep -qx "$lower" <<<"$have" || lacking+=("$(basename "$binary") needs $dll") ;;
        esac
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$PKG" \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \) -print0)
if [ ${#lacking[@]} -gt 0 ]; then
    printf '    %s\n' "${lacking[@]}"
    fail "the package lacks DLLs"
fi
# Stripped: the MinGW runtime carries its debug information (libstdc++-6.dll is 23.7 MB with it,
# 2 MB without), which no user's machine needs. The folder's size is said before and after.
unstripped=$(du -sk "$PKG" | cut -f1)
find "$PKG" \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \) -print0 |
    xargs -0 x86_64-w64-mingw32-strip --strip-unneeded
echo "    $PKG: $((unstripped / 1024)) MB before stripping, $(($(du -sk "$PKG" | cut -f1) / 1024)) MB stripped"

step "Packing $OUT/Pivota-$VERSION.zip"
rm -f "$OUT/Pivota-$VERSION.zip"
(cd "$OUT/package" && TZ=UTC zip -qrX9 "$OUT/Pivota-$VERSION.zip" Pivota)

step "Building the installer $OUT/Pivota-$VERSION-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$VERSION" -DPACKAGE_DIR="$PKG" \
    -DICON="$ROOT/data/windows/pivota.ico" -DOUTFILE="$OUT/Pivota-$VERSION-setup.exe" \
    "$ROOT/tools/windows/pivota.nsi"
ls -l "$OUT/Pivota-$VERSION.zip" "$OUT/Pivota-$VERSION-setup.exe" | awk '{print "    " $5 " bytes  " $9}'
