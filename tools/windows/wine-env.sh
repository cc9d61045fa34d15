# Sourced by the scripts that run the Windows build under Wine (OUT and QT_PREFIX set): Wine's
# prefix of the Windows build, build-win/wine, quiet, without the .NET and HTML engines it would
# offer to download, and the folders of Qt's and MinGW's DLLs on the programs' path. zpath names
# a file of this machine as Wine's drive Z: does.
zpath() { echo "Z:$1" | tr '/' '\\'; }

export WINEPREFIX="$OUT/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
MINGW_GCC=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$(zpath "$QT_PREFIX/bin");$(zpath "$MINGW_GCC");$(zpath /usr/x86_64-w64-mingw32/lib)"
