#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with the default prefix and checks what lands there:
# exactly the expected files, desktop data that the desktop's own validators accept, programs that
# find their libraries and carry no path into the build folder.
# Usage: check-install-tree.sh BUILD_DIR DESKTOP_ID PROGRAM...
set -euo pipefail
build=$1 id=$2
shift 2
programs=("$@")

destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
DESTDIR=$destdir cmake --install "$build" --prefix /usr/local >/dev/null
root=$destdir/usr/local
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expected=(
  share/vespera/ChipList.dat
  share/applications/$id.desktop
  share/mime/packages/$id.xml
  share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  lib/udev/rules.d/50-vespera-ch341a.rules
  share/man/man1/vespera.1.gz
  share/man/man1/vespera-cli.1.gz
  share/doc/vespera/copyright
  share/doc/vespera/changelog.Debian.gz
)
for program in "${programs[@]}"; do expected+=("bin/$program"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort) ||
  fail "the installed files differ from the expected ones (< missing, > unexpected)"
[ -z "$(find "$destdir" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files outside the prefix"

cmp -s "$build/bin/ChipList.dat" "$root/share/vespera/ChipList.dat" || fail "ChipList.dat is not the built one"

for program in "${programs[@]}"; do
  binary=$root/bin/$program
  [ -x "$binary" ] || { fail "$program is not executable"; continue; }
  ! ldd "$binary" | grep -q 'not found' || fail "$program misses libraries: $(ldd "$binary" | grep 'not found')"
  ! readelf -d "$binary" | grep -qE 'R(UN)?PATH' || fail "$program keeps a library path into the build"
done
if [ -x "$root/bin/vespera-cli" ]; then
  "$root/bin/vespera-cli" --version >/dev/null || fail "vespera-cli --version"
fi

desktop=$root/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml")"
grep -qx "Icon=$id" "$desktop" || fail "the menu entry does not show the installed icon"
grep -q "^Exec=vespera " "$desktop" || fail "the menu entry does not start vespera"

# Every file type the menu entry claims is one the installed MIME data defines, and the database
# built from that data maps the dump extensions (and the E2P header) to them.
update-mime-database "$root/share/mime" >/dev/null 2>&1 || fail "update-mime-database rejects the MIME data"
for type in $(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' '); do
  grep -q "type=\"$type\"" "$root/share/mime/packages/$id.xml" || fail "$type is claimed but not defined"
done
for glob in application/x-vespera-brg:\*.brg application/x-e2p:\*.e2p text/x-hex:\*.hex; do
  grep -qF ":$glob" "$root/share/mime/globs2" || fail "no glob $glob"
done
grep -qa 'E2P!Lanc' "$root/share/mime/magic" || fail "E2P files are not recognised by their header"

for page in vespera vespera-cli; do
  gzip -dc "$root/share/man/man1/$page.1.gz" | head -c 4096 | grep -q '^\.TH "*'"$page" ||
    fail "$page.1.gz is not a manual page"
done

# The licences in the machine-readable format, and a changelog of the version installed.
head -n1 "$root/share/doc/vespera/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in the machine-readable format"
gzip -dc "$root/share/doc/vespera/changelog.Debian.gz" | head -n1 | grep -q "^vespera (" ||
  fail "changelog.Debian.gz does not start with an entry of the package"

[ "$failures" -eq 0 ] && echo "install tree OK"
exit $((failures > 0))
