#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree a desktop
# expects; validates the menu entry and the metadata where the validators
# are installed; and, where Debian's packaging tools are, builds the package
# and checks its dependencies and content.
#   check-install.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }

id=org.korvan.Quillory
expected=(
  bin/quillory
  share/quillory/help/topic100.html share/quillory/help/topic300.html
  share/quillory/help/topic400.html share/quillory/help/topic500.html
  share/quillory/help/topic600.html share/quillory/help/topic700.html
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/mime/packages/$id.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/man/man1/quillory.1.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
if [ -x "$build/src/cli/qly" ]; then
  expected+=(bin/qly libexec/quillory/qly-full share/man/man1/qly.1.gz share/bash-completion/completions/qly)
fi
for f in "${expected[@]}"; do
  [ -s "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/quillory" ] || fail "bin/quillory is not executable"
if [ -x "$build/src/cli/qly" ]; then
  "$prefix/bin/qly" --version | grep -q '^qly (Quillory) ' || fail "the installed qly does not run"
  bash -n "$prefix/share/bash-completion/completions/qly" || fail "the completion is not bash"
  # The installed qly loads no Qt, and hands PDF files to the installed
  # qly-full, the build folder out of reach.
  if readelf -d "$prefix/bin/qly" | grep -E 'NEEDED.*(Qt|ical|icu)'; then fail "bin/qly loads Qt, libical or ICU"; fi
  "$prefix/bin/qly" new "$work/Plans.qly" >/dev/null || fail "the installed qly cannot create a data set"
  (cd / && env -i PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen HOME="$work" \
    "$prefix/bin/qly" print customers "$work/Plans.qly" --pdf "$work/customers.pdf") || fail "the installed qly prints no PDF"
  head -c 5 "$work/customers.pdf" | grep -q '%PDF-' || fail "the installed qly's PDF is no PDF"
fi

# Each PNG is as wide and as high as its folder says.
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  w=$(od -An -tu4 --endian=big -j16 -N4 "$png" | tr -d ' ')
  h=$(od -An -tu4 --endian=big -j20 -N4 "$png" | tr -d ' ')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "icon $size is ${w}x$h"
done

grep -qx 'Exec=quillory %f' "$prefix/share/applications/$id.desktop" || fail "the menu entry does not open a file"
grep -q 'MimeType=application/x-quillory;' "$prefix/share/applications/$id.desktop" || fail "no data-set type"
grep -q 'pattern="\*.qly"' "$prefix/share/mime/packages/$id.xml" || fail "no *.qly glob"
gzip -t "$prefix/share/man/man1/quillory.1.gz" || fail "manual page"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate not installed: skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" || \
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
else
  echo "appstreamcli not installed: skipped"
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" || fail "update-mime-database"
  grep -q 'application/x-quillory' "$prefix/share/mime/globs2" || fail "the type is not registered"
fi

if command -v dpkg-shlibdeps >/dev/null && command -v dpkg-deb >/dev/null; then
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
  deb=$(ls "$work"/quillory_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  for dep in libqt6widgets6 libqt6printsupport6 libqt6svg6 libc6 fonts-liberation libical3 libicu tzdata; do
    echo "$depends" | grep -q "$dep" || fail "the package does not depend on $dep: $depends"
  done
  dpkg-deb -c "$deb" >"$work/content"
  grep -q "\./usr/bin/quillory$" "$work/content" || fail "the package has no /usr/bin/quillory"
  if [ -x "$build/src/cli/qly" ]; then
    grep -q "\./usr/libexec/quillory/qly-full$" "$work/content" || fail "the package has no qly-full"
  fi
  grep -q "\./usr/share/applications/$id.desktop$" "$work/content" || fail "the package has no menu entry"
  echo "package: $(basename "$deb"), Depends: $depends"
else
  echo "dpkg-shlibdeps not installed: package not built"
fi
echo "install tree OK"
