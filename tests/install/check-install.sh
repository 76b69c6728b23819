#!/usr/bin/env bash
# Installs the build into a DESTDIR inside the build tree, with the prefix /usr, and
# checks what a desktop, a software centre and man read there, then runs the
# installed programs from outside the build tree.
#
#   check-install.sh BUILD_DIR VERSION APPLICATION_ID
#
# The window's text is checked on a virtual display (window-session.sh), where keys
# can be typed into it; the offscreen platform takes none from outside.
#
# A missing validator is a failure, not a skip: scripts/install-deps installs them.
set -euo pipefail
build=$1 version=$2 id=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$build/install-check
prefix=$root/usr
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for tool in desktop-file-validate appstreamcli groff man zcat xvfb-run xdotool inotifywait; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done

rm -rf "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

# Every file in its place.
sizes=(16 24 32 48 64 128 256 512)
files=(bin/lumenark bin/lumenark-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml
       share/icons/hicolor/scalable/apps/$id.svg share/man/man1/lumenark.1.gz share/man/man1/lumenark-cli.1.gz
       share/doc/lumenark/contents.html)
for size in "${sizes[@]}"; do files+=("share/icons/hicolor/${size}x$size/apps/$id.png"); done
for file in "${files[@]}"; do [[ -f $prefix/$file ]] || fail "not installed: $file"; done
# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in "${sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [[ "$width $height" == "$size $size" ]] || fail "$png is $width by $height"
done

# The desktop entry: valid without even a hint, opening files with the window.
desktop=$prefix/share/applications/$id.desktop
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[[ -z $report ]] || fail "desktop-file-validate: $report"
for line in "Exec=lumenark %F" "MimeType=text/plain;" "Icon=$id"; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks $line"
done

# The AppStream metadata: valid (information notes allowed), with this release.
metainfo=$prefix/share/metainfo/$id.metainfo.xml
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
grep -E '^[EW]:' <<<"$report" && fail "appstreamcli validate reports errors or warnings"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "the metadata lacks release $version"
grep -qF "<screenshot type=\"default\">" "$metainfo" || fail "the metadata lacks a screenshot"
grep -qF "<project_license>MIT</project_license>" "$metainfo" || fail "the metadata names no licence"
for word in "truth table" model countermodel LaTeX "minimum DNF" Karnaugh tableau equivalen DIMACS; do
  grep -qF "$word" "$metainfo" || fail "the metadata does not mention $word"
done

# The manual pages: no warning from groff or man, and the version in the footer.
for page in lumenark lumenark-cli; do
  file=$prefix/share/man/man1/$page.1.gz
  report=$(zcat "$file" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1) || fail "groff failed on $page.1"
  [[ -z $report ]] || fail "groff on $page.1: $report"
  report=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null) || fail "man -l failed on $page.1"
  [[ -z $report ]] || fail "man -l on $page.1: $report"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$file" | grep -qF "Lumenark $version" || fail "$page.1 does not show version $version"
done

# The installed programs, run from a directory outside the build tree.
cd "$root"
output=$("$prefix/bin/lumenark-cli" --version) || fail "lumenark-cli --version failed"
[[ $output == "lumenark-cli $version" ]] || fail "lumenark-cli --version printed: $output"
output=$("$prefix/bin/lumenark-cli" -e 'A>B' cnf) || fail "lumenark-cli cnf failed"
[[ $output == $'A>B\n~A|B' ]] || fail "lumenark-cli cnf printed: $output"

# --help and --version need no display; a usage error needs the application object.
output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/lumenark" --version) || fail "lumenark --version failed"
[[ $output == "lumenark $version" ]] || fail "lumenark --version printed: $output"
output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/lumenark" --help) || fail "lumenark --help failed"
[[ $output == "usage: lumenark "* ]] || fail "lumenark --help printed: $output"
export QT_QPA_PLATFORM=offscreen
status=0
output=$("$prefix/bin/lumenark" --frobnicate 2>&1) || status=$?
[[ $status == 2 && $output == *"unknown option --frobnicate"* ]] || fail "lumenark --frobnicate: status $status, $output"

# The window offscreen with two files named relative to the working directory: it
# opens them and keeps running until it is ended.
printf 'A>B\n' >first.txt
printf '(A|B)&C\n' >second.txt
status=0
output=$(timeout 5 "$prefix/bin/lumenark" first.txt second.txt 2>&1) || status=$?
[[ $status == 124 ]] || fail "lumenark first.txt second.txt ended by itself with status $status: $output"

# The same on a virtual display, where a letter typed into each window and saved
# shows the text the window held: the file's, with the letter in front (a saved
# document has CR LF line breaks), and the file as it was in the .BAK.
unset QT_QPA_PLATFORM
mkdir session
(
  cd session
  cp ../first.txt ../second.txt .
  xvfb-run -a -s "-screen 0 1024x768x24" "$here/window-session.sh" "$prefix"
) >session.log 2>&1 || fail "the window session failed: $(cat session.log)"
expect() { [[ "$(od -An -c "session/$1")" == "$(printf "$2" | od -An -c)" ]] || fail "session/$1 holds: $(od -An -c "session/$1")"; }
expect second.txt 'X(A|B)&C\r\n'
expect first.txt 'YA>B\r\n'
expect second.BAK '(A|B)&C\n'
expect first.BAK 'A>B\n'

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed under $root: every check passed"
