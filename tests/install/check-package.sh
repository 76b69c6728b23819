#!/usr/bin/env bash
# Makes the Debian package with CPack into the build tree and checks it: its name,
# version and dependencies (found by dpkg-shlibdeps), its contents, and that lintian
# reports no error and no warning.
#
#   check-package.sh BUILD_DIR VERSION APPLICATION_ID RELEASE_DATE
#
# A missing tool is a failure, not a skip: scripts/install-deps installs them.
set -euo pipefail
build=$1 version=$2 id=$3 release_date=$4
out=$build/package-check
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done

# Made without a SOURCE_DATE_EPOCH of the caller's, as a user's cpack is.
make_package() {
  rm -rf "$1"
  (cd "$build" && env -u SOURCE_DATE_EPOCH cpack -G DEB -B "$1") >"$build/package-check.log" 2>&1 ||
    { cat "$build/package-check.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
}
make_package "$out"
deb=$out/lumenark_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "FAIL: no $deb" >&2; exit 1; }

# Reproducible: a second package, made seconds later, is the same bytes (every date in
# it is the release's), and so is one made with the release's SOURCE_DATE_EPOCH given.
sleep 1
make_package "$out-again"
if ! cmp -s "$deb" "$out-again/$(basename "$deb")"; then
  for made in "$out" "$out-again"; do
    mkdir -p "$made/unpacked" && dpkg-deb -R "$made/$(basename "$deb")" "$made/unpacked"
  done
  fail "two packages of the same build differ: $(diff -rq "$out/unpacked" "$out-again/unpacked" 2>&1 | head -5)"
fi
dates=$(dpkg-deb --fsys-tarfile "$deb" | TZ=UTC tar -tv --full-time | awk '{print $4}' | sort -u)
[[ $dates == "$release_date" ]] || fail "the package's files are dated $dates, not $release_date"
rm -rf "$out-again"

[[ $(dpkg-deb -f "$deb" Package) == lumenark ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6printsupport6; do
  [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/lumenark ./usr/bin/lumenark-cli ./usr/share/applications/$id.desktop \
            ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
            ./usr/share/man/man1/lumenark.1.gz ./usr/share/doc/lumenark/contents.html \
            ./usr/share/doc/lumenark/copyright ./usr/share/doc/lumenark/changelog.gz; do
  grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done

# The copyright file in Debian's machine-readable format, granting the MIT (Expat) licence.
copyright=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/lumenark/copyright)
[[ $(head -n 1 <<<"$copyright") == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]] ||
  fail "copyright is not in the machine-readable format"
grep -qxF "License: Expat" <<<"$copyright" || fail "copyright grants no Expat (MIT) licence"
# The Description names the analyses.
description=$(dpkg-deb -f "$deb" Description)
for word in "truth table" model countermodel LaTeX "minimum DNF" Karnaugh tableau equivalen DIMACS; do
  [[ $description == *"$word"* ]] || fail "the Description does not mention $word"
done

# The doc-base abstract names them too.
docbase=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc-base/lumenark)
for word in truth models LaTeX "minimum DNF" Karnaugh tableaux equivalence DIMACS; do
  [[ $docbase == *"$word"* ]] || fail "the doc-base abstract does not mention $word"
done

# Its tags go to standard output; standard error carries its notes (as root, that
# running as root is not recommended), shown only when it fails.
report=$(lintian --fail-on error,warning "$deb" 2>"$build/package-check.lintian") ||
  fail "lintian failed: $(cat "$build/package-check.lintian")"
[[ -z $report ]] || fail "lintian: $report"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "$deb: every check passed"
