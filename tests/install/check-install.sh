#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs of it: both
# programs, the shipped files they find from bin/../share/audiolume, the desktop entry,
# the icons and the AppStream file, validated by the desktop's own tools when present.
# Usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for file in bin/audiolume bin/twpl libexec/audiolume/twcd libexec/audiolume/twcd-setup; do
  [ -x "$prefix/$file" ] || fail "$file is not installed as a program"
done
for helper in twcd twcd-setup; do
  [ ! -e "$prefix/bin/$helper" ] || fail "the helper $helper is installed as a command"
done
for file in ID3v1.cat Rec_err.txt TWPL_Err.eng TWPL_Msg.eng VeltoDj.cat VeltoDj.dft Themes/player.png; do
  [ -f "$prefix/share/audiolume/$file" ] || fail "share/audiolume/$file is missing"
done
desktop=$prefix/share/applications/audiolume.desktop
metainfo=$prefix/share/metainfo/org.audiolume.Audiolume.metainfo.xml
[ -f "$desktop" ] || fail "the desktop entry is missing"
[ -f "$metainfo" ] || fail "the metainfo file is missing"
grep -q '^MimeType=.*audio/flac;' "$desktop" || fail "the desktop entry lists no audio types"
[ -f "$prefix/share/icons/hicolor/scalable/apps/audiolume.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/audiolume.png" ] ||
    fail "no ${size}x${size} icon"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >/dev/null ||
    fail "appstreamcli rejects the metainfo file"
fi

# The installed command line finds its shipped files and fills a new home with them.
home=$prefix/home
message=$("$prefix/bin/twpl" --home "$home" msg 676)
[ "$message" = "Song data has been saved." ] || fail "installed twpl printed: $message"
[ -f "$home/TWPL_Msg.eng" ] || fail "the installed program did not copy its shipped files"
echo "installation complete"
