#!/usr/bin/env bash
# The installed layout, checked as distributions check it:
#   install_test.sh desktop FILE      desktop-file-validate, silent
#   install_test.sh metainfo FILE     appstreamcli validate --no-net
#   install_test.sh manual FILE       man --warnings, silent
#   install_test.sh destdir BUILD VERSION
#       cmake --install into a temporary DESTDIR: the files listed below,
#       and the installed program answers --version and --help
set -euo pipefail

# Any word from a validator is a finding, warnings too.
silent() {
  local said
  said=$("$@" 2>&1 >/dev/null) || { echo "$said"; return 1; }
  [ -z "$said" ] || { echo "$said"; return 1; }
}

case $1 in
desktop) silent desktop-file-validate "$2" ;;
metainfo) appstreamcli validate --no-net "$2" ;;
manual) LC_ALL=C.UTF-8 MANWIDTH=80 silent man --warnings -l "$2" ;;
destdir)
  build=$2 version=$3
  dest=$(mktemp -d)
  trap 'rm -rf "$dest"' EXIT
  DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
  (cd "$dest/usr" && find . -type f | LC_ALL=C sort) >"$dest/listed"
  cat "$dest/listed"
  diff -u - "$dest/listed" <<'LIST'
./bin/lumetta
./libexec/lumetta/lumetta-decoder
./share/applications/example.korvane.lumetta.desktop
./share/doc/lumetta/changelog.gz
./share/doc/lumetta/copyright
./share/icons/hicolor/128x128/apps/example.korvane.lumetta.png
./share/icons/hicolor/256x256/apps/example.korvane.lumetta.png
./share/icons/hicolor/48x48/apps/example.korvane.lumetta.png
./share/icons/hicolor/scalable/apps/example.korvane.lumetta.svg
./share/lumetta/readme.txt
./share/man/man1/lumetta.1.gz
./share/metainfo/example.korvane.lumetta.metainfo.xml
LIST
  # The menu entry runs the program by its installed path, quoted where
  # the prefix needs it, and stays valid.
  entry=share/applications/example.korvane.lumetta.desktop
  grep -qx 'Exec=/usr/bin/lumetta' "$dest/usr/$entry"
  grep -qx 'TryExec=/usr/bin/lumetta' "$dest/usr/$entry"
  grep -qx 'Exec=/usr/bin/lumetta /c' "$dest/usr/$entry"
  silent desktop-file-validate "$dest/usr/$entry"
  cmake --install "$build" --prefix "$dest/a b/.local" --component Unspecified >/dev/null
  grep -qxF "Exec=\"$dest/a b/.local/bin/lumetta\" /s" "$dest/a b/.local/$entry"
  grep -qxF "TryExec=$dest/a b/.local/bin/lumetta" "$dest/a b/.local/$entry"
  # Each bitmap has the size its folder names.
  for size in 48 128 256; do
    drawn=$(identify -format '%wx%h' "$dest/usr/share/icons/hicolor/${size}x$size/apps/example.korvane.lumetta.png")
    [ "$drawn" = "${size}x$size" ] || { echo "the ${size}x$size icon is $drawn"; exit 1; }
  done
  # No display, no home: --version and --help answer before either is needed.
  said=$(env -i "$dest/usr/bin/lumetta" --version)
  [ "$(echo "$said" | head -n 1)" = "Lumetta $version" ] || { echo "--version said: $said"; exit 1; }
  # The installed worker is found and shuts itself in.
  echo "$said" | grep -q 'sandboxed process' || { echo "--version said: $said"; exit 1; }
  env -i "$dest/usr/bin/lumetta" --help | grep -q LUMETTA_HOME
  ;;
*) echo "unknown check: $1" >&2; exit 2 ;;
esac
