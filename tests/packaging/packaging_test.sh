#!/usr/bin/env bash
# Installs the build into a scratch root and checks what lands there, then
# makes the Debian package, lists and unpacks it, and runs the unpacked
# linkwatch-cli.
#   packaging_test.sh BUILD_DIR WITH_WINDOW(ON|OFF)
set -euo pipefail
build=$1
with_window=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
app_id=org.linkwatch.linkwatch

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

expected=(
  usr/bin/linkwatch-cli
  usr/bin/rkv-sim
  usr/share/man/man1/linkwatch-cli.1.gz
  "usr/lib/systemd/system/linkwatch-cli@.service"
  usr/share/linkwatch/prometheus/linkwatch-rules.yml
)
if [ "$with_window" = ON ]; then
  expected+=(
    usr/bin/linkwatch
    usr/share/applications/$app_id.desktop
    usr/share/metainfo/$app_id.metainfo.xml
    usr/share/icons/hicolor/16x16/apps/linkwatch.png
    usr/share/icons/hicolor/32x32/apps/linkwatch.png
    usr/share/icons/hicolor/48x48/apps/linkwatch.png
    usr/share/icons/hicolor/scalable/apps/linkwatch.svg
  )
fi

echo "== cmake --install into a scratch root"
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
for f in "${expected[@]}"; do
  [ -f "$work/root/$f" ] || fail "not installed: $f"
done
for p in linkwatch-cli rkv-sim; do
  [ -x "$work/root/usr/bin/$p" ] || fail "$p is not executable"
done
gzip -t "$work/root/usr/share/man/man1/linkwatch-cli.1.gz" || fail "man page is not gzip"
warnings=$(man --warnings -l "$work/root/usr/share/man/man1/linkwatch-cli.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page warnings: $warnings"

if [ "$with_window" = ON ]; then
  desktop=$work/root/usr/share/applications/$app_id.desktop
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  for line in Exec=linkwatch Icon=linkwatch Terminal=false Type=Application; do
    grep -qx "$line" "$desktop" || fail "desktop entry lacks $line"
  done
  grep -Eq '^Categories=(.*;)?Qt;' "$desktop" || fail "desktop entry lacks the Qt category"
  grep -Eq '^Categories=(.*;)?(Utility|Development);' "$desktop" || fail "no Utility/Development"
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli validate"
  for size in 16 32 48; do
    file "$work/root/usr/share/icons/hicolor/${size}x$size/apps/linkwatch.png" |
      grep -q "PNG image data, $size x $size" || fail "icon ${size}x$size is not a $size px PNG"
  done
fi

echo "== cpack -G DEB"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/pkg/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}

dpkg-deb -c "$deb" >"$work/contents"
for f in "${expected[@]}"; do
  grep -q " \./$f\$" "$work/contents" || fail "not in the package: $f"
done
for field in Package Version Maintainer Section Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "control field $field is empty"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libsystemd0; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
if [ "$with_window" = ON ]; then
  [[ "$depends" == *libqt6widgets6* ]] || fail "Depends lacks libqt6widgets6: $depends"
fi

echo "== the unpacked package runs"
dpkg-deb -x "$deb" "$work/x"
help=$("$work/x/usr/bin/linkwatch-cli" --help)
[[ "$help" == *"Exit status"* ]] || fail "linkwatch-cli --help: $help"
status=0
"$work/x/usr/bin/linkwatch-cli" --port 9 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "a usage error gave $status, not 2"
"$work/x/usr/bin/rkv-sim" --help >/dev/null || fail "rkv-sim --help"
echo "packaging: all checks passed"
