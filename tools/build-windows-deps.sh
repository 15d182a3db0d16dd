#!/usr/bin/env bash
# Builds the libraries the Windows window program links, static, for
# x86_64-w64-mingw32: wxWidgets (wxMSW), expat and libpng, each from its Debian
# source package; zlib is Debian's libz-mingw-w64-dev.
#
# The result goes into ~/.cache/moxtrel/mingw-<key>, where the key is a hash of
# this script and the source packages' versions, so a changed recipe or a new
# Debian upload builds afresh and an unchanged one is reused. The stamp file is
# written last: a build that was interrupted has none and is done again.
# ~/.cache/moxtrel/mingw points at the finished prefix (the `windows` preset
# reads it there). Prints the prefix on the last line.
set -euo pipefail

cache_root="$HOME/.cache/moxtrel"
triplet=x86_64-w64-mingw32
source_packages=(wxwidgets3.2 expat libpng1.6)
jobs="${MOXTREL_DEPS_JOBS:-2}"
here="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="$here/cmake/toolchains/mingw-w64-x86_64.cmake"

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

# apt-get source needs deb-src entries; the mirror is the one apt already uses.
has_bookworm_sources() {
  grep -rqsE '^(deb-src .* bookworm .*main|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/
}
add_bookworm_sources() {
  local mirror keyring
  mirror=$(grep -rhsoE '^(URIs: *|deb (\[[^]]*\] )?)https?://[^ ]*/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/ |
    grep -oE 'https?://[^ ]*' | head -n 1)
  mirror=${mirror:-http://deb.debian.org/debian}
  # The entry must name the same keyring as the binary one for the same mirror.
  keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  echo "deb-src [signed-by=$keyring] $mirror bookworm main" |
    "${as_root[@]}" tee /etc/apt/sources.list.d/moxtrel-sources.list >/dev/null
  "${as_root[@]}" apt-get update -qq
}
has_bookworm_sources || add_bookworm_sources

# The versions apt would fetch now, read from its lists without the network.
source_version() {
  apt-get source --print-uris -qq "$1" | awk '$2 ~ /\.dsc$/ { print $2 }' | sed -E 's/.*_(.*)\.dsc$/\1/'
}
versions=""
for package in "${source_packages[@]}"; do
  version=$(source_version "$package")
  [ -n "$version" ] || { echo "build-windows-deps: apt knows no source of $package" >&2; exit 1; }
  versions+="$package=$version "
done
key=$( { cat "$0"; echo "$versions"; } | sha256sum | cut -c1-12)
prefix="$cache_root/mingw-$key"

if [ -f "$prefix/.stamp" ]; then
  ln -sfn "mingw-$key" "$cache_root/mingw"
  echo "$prefix"
  exit 0
fi

echo "build-windows-deps: building $versions into $prefix" >&2
started=$SECONDS
rm -rf "$prefix"
mkdir -p "$prefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for package in "${source_packages[@]}"; do
  apt-get source -qq "$package" >/dev/null
done

cmake_static() {
  local source=$1; shift
  cmake -S "$source" -B "$source/build-mingw" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib "$@" >/dev/null
  cmake --build "$source/build-mingw" -j "$jobs" >/dev/null
  cmake --install "$source/build-mingw" >/dev/null
}

# Debian's patches test `#if XML_DTD == 1`; the CMake template defines it
# empty, so it is made to define 1 as the autotools build does.
expat=$(find "$work" -maxdepth 1 -type d -name 'expat-*' | head -n 1)
expat_cmake=$expat
[ -f "$expat_cmake/CMakeLists.txt" ] || expat_cmake=$expat/expat
sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/;' \
  "$expat_cmake/expat_config.h.cmake"
cmake_static "$expat_cmake" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
  -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=ON

# libpng links zlib's static archive by name: the import library beside it
# would make the programs need zlib1.dll.
libpng=$(find "$work" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
cmake_static "$libpng" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triplet/include"

# wxMSW with only what the program uses; the image formats it reads are PNG
# (icons, art) and its own; Debian's source has the bundled libraries removed,
# so every library comes from the system (here: the prefix and MinGW's tree).
wx=$(find "$work" -maxdepth 1 -type d -name 'wxwidgets3.2-*' | head -n 1)
mkdir "$wx/build-mingw"
(
  cd "$wx/build-mingw"
  export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:/usr/$triplet/lib/pkgconfig" PKG_CONFIG_PATH=""
  ../configure --host="$triplet" --prefix="$prefix" \
    CC="$triplet-gcc-posix" CXX="$triplet-g++-posix" \
    CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
    --with-msw --disable-shared --enable-unicode \
    --with-zlib=sys --with-libpng=sys --with-expat=sys --with-regex=builtin \
    --without-libjpeg --without-libtiff --without-liblzma --without-opengl \
    --disable-mediactrl --disable-webview --disable-stc --disable-richtext \
    --disable-ribbon --disable-propgrid --disable-aui --disable-tests >configure.log
  make -j "$jobs" >make.log 2>&1 || { tail -n 40 make.log >&2; exit 1; }
  make install >/dev/null
)

echo "$versions" >"$prefix/.stamp"
ln -sfn "mingw-$key" "$cache_root/mingw"
echo "build-windows-deps: done in $((SECONDS - started)) s, $(du -sh "$prefix" | cut -f1)" >&2
echo "$prefix"
