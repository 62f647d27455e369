#!/bin/sh
# Installs the built program into a scratch DESTDIR as `cmake --install`
# would for /usr/local, checks the installed tree and its desktop files,
# plays a scenario against the installed program, and builds the .deb.
# Usage: install_test.sh <build folder> <vantrel_scenario> <source folder>
set -eu
build=$1
runner=$2
src=$3
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-install-XXXXXX")
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr/local >"$tmp/install.log" ||
  { cat "$tmp/install.log"; fail "cmake --install"; }
p="$tmp/root/usr/local"
id=com.example.vantrel
for f in bin/vantrel \
  share/vantrel/Help/index.html share/vantrel/Help/topic-600.html share/vantrel/Help/style.css \
  share/vantrel/Help/images/main-window.png share/vantrel/Images/new.png share/vantrel/Images/UP.png \
  share/vantrel/Images/vantrel-48.png share/vantrel/History.rtf share/vantrel/en_US.dic \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$id.svg; do
  [ -e "$p/$f" ] || fail "not installed: $f"
done
for size in 48 128 256; do
  png="$p/share/icons/hicolor/${size}x$size/apps/$id.png"
  [ -e "$png" ] || fail "not installed: $png"
  file "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not $size x $size"
done
[ ! -e "$p/share/vantrel/Images/svg" ] || fail "the icon sources were installed"
[ -x "$p/bin/vantrel" ] || fail "bin/vantrel is not executable"

desktop-file-validate "$p/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$p/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q '^Icon=com.example.vantrel$' "$p/share/applications/$id.desktop" || fail "desktop entry icon"
grep -q '<release version="1.8.4.0"' "$p/share/metainfo/$id.metainfo.xml" || fail "release 1.8.4.0"

# The installed tree is read-only, as under /usr/local; the data goes to XDG_DATA_HOME.
chmod -R a-w "$p"
mkdir -p "$tmp/xdg"
XDG_DATA_HOME="$tmp/xdg" "$runner" --installed "$p" --shots "$tmp/shots" \
  "$src/tests/install/installed.scn" || fail "scenario against the installed program"
[ -f "$tmp/xdg/Vantrel/Vantrel.ini" ] || fail "no settings in \$XDG_DATA_HOME/Vantrel"
[ -f "$tmp/xdg/Vantrel/Data/VantrelData.db3" ] || fail "no database in \$XDG_DATA_HOME/Vantrel"
[ "$(ls "$p/bin")" = "vantrel" ] || fail "something was written beside the installed executable: $(ls "$p/bin")"
[ "$(ls "$p/share/vantrel" | tr '\n' ' ')" = "Help History.rtf Images en_US.dic " ] ||
  fail "something was written into share/vantrel: $(ls "$p/share/vantrel")"

# The Debian package, with its library dependencies from dpkg-shlibdeps.
arch=$(dpkg --print-architecture)
cpack -G DEB -B "$tmp/deb" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
deb="$tmp/deb/vantrel_1.8.4.0_$arch.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$tmp/deb")"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libsqlite3-0 libhpdf libc6 \
  fonts-dejavu-core xdg-utils; do
  echo "$depends" | grep -q "$dep" || fail "the package does not depend on $dep: $depends"
done
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/vantrel ./usr/share/vantrel/Help/index.html ./usr/share/vantrel/en_US.dic \
  ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
  ./usr/share/icons/hicolor/256x256/apps/$id.png; do
  echo "$contents" | grep -q " $f\$" || fail "the package lacks $f"
done
echo "installed, validated, played and packaged"
