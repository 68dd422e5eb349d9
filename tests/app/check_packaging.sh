#!/usr/bin/env bash
# Checks what a distribution would ship, in the build installed into a
# temporary prefix or in a tree installed already (the Debian package's): the
# desktop entry and AppStream metadata pass their validators and agree with
# each other and with the installed files, every icon size is there at its
# size, the manual pages are clean roff that know every option of their
# program's --help, and each installed program answers --version.
#
# usage: check_packaging.sh BUILD_DIR VERSION
#        check_packaging.sh --installed PREFIX VERSION
set -uo pipefail

id=io.quorvel.Synchrontester
programs=(quorvel quorvel-sim quorvel-decode quorvel-jobs)
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

for tool in desktop-file-validate appstreamcli groff; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (make deps installs it)"; exit 1; }
done

if [ "$1" = --installed ]; then
  prefix=$2 version=$3
else
  build=$1 version=$2
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-install-XXXXXX")
  trap 'rm -rf "$prefix"' EXIT
  if ! out=$(cmake --install "$build" --prefix "$prefix" 2>&1); then
    echo "FAIL: cmake --install"$'\n'"$out"
    exit 1
  fi
fi
share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml

# --- validators ---------------------------------------------------------------
checks=$((checks + 1))
remarks=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop entry is not valid: $remarks"
[ -z "$remarks" ] || fail "desktop-file-validate has remarks: $remarks"
check "metainfo is valid" appstreamcli validate --no-net "$metainfo"

# --- one identity ---------------------------------------------------------------
key() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
checks=$((checks + 1))
[ "$(key Exec | cut -d' ' -f1)" = quorvel ] || fail "desktop Exec is not quorvel: $(key Exec)"
checks=$((checks + 1))
[ "$(key Icon)" = "$id" ] || fail "desktop Icon is not $id: $(key Icon)"
checks=$((checks + 1))
[ "$(key Name)" = "Quorvel Synchrontester" ] || fail "desktop Name: $(key Name)"
checks=$((checks + 1))
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
checks=$((checks + 1))
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo launchable does not name $id.desktop"
first_release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
checks=$((checks + 1))
[ "$first_release" = "$version" ] || fail "newest release in metainfo is '$first_release', the project is $version"

# --- programs -------------------------------------------------------------------
provided=$(grep -o '<binary>[^<]*</binary>' "$metainfo" | sed 's/<[^>]*>//g' | sort | tr '\n' ' ')
checks=$((checks + 1))
[ "$provided" = "$(printf '%s\n' "${programs[@]}" | sort | tr '\n' ' ')" ] || fail "metainfo provides: $provided"
for p in "${programs[@]}"; do
  exe=$prefix/bin/$p
  checks=$((checks + 1))
  if [ ! -x "$exe" ]; then
    fail "$p is not installed"
    continue
  fi
  check "$p --version succeeds" "$exe" --version
  got=$("$exe" --version 2>&1)
  checks=$((checks + 1))
  [ "$got" = "$p $version" ] || fail "$p --version says '$got', expected '$p $version'"

  # The manual page: clean roff, the version in its title line, and every long
  # option that --help lists.
  # The pages are installed compressed, as Debian wants them.
  page=$share/man/man1/$p.1.gz
  checks=$((checks + 1))
  if [ ! -f "$page" ]; then
    fail "no manual page for $p"
    continue
  fi
  roff=$(zcat "$page")
  checks=$((checks + 1))
  warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z <<<"$roff" 2>&1)
  [ -z "$warnings" ] || fail "groff warns about $p.1: $warnings"
  checks=$((checks + 1))
  grep -q "^\.TH .*\"Quorvel $version\"" <<<"$roff" || fail "$p.1 does not name version $version"
  # The OPTIONS section, without roff's escapes.
  plain=$(sed -n '/^\.SH OPTIONS/,/^\.SH [^O]/p' <<<"$roff" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')
  options=$("$exe" --help 2>&1 | grep -o -- '--[a-z][a-z-]*' | sort -u)
  checks=$((checks + 1))
  [ -n "$options" ] || fail "$p --help lists no options"
  for o in $options; do
    checks=$((checks + 1))
    grep -q -- "$o\b" <<<"$plain" || fail "$p.1 does not describe $o"
  done
  # ... and none that the program no longer has.
  for o in $(grep -o -- '--[a-z][a-z-]*' <<<"$plain" | sort -u); do
    checks=$((checks + 1))
    grep -qx -- "$o" <<<"$options" || fail "$p.1 describes $o, which $p --help does not list"
  done
done

# --- icons ----------------------------------------------------------------------
png_size() {  # width x height from the PNG header
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  echo "${w}x${h}"
}
for s in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${s}x${s}/apps/$id.png
  checks=$((checks + 1))
  if [ ! -f "$icon" ]; then
    fail "no ${s}x${s} icon"
    continue
  fi
  checks=$((checks + 1))
  [ "$(head -c8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "${s}x${s} icon is no PNG"
  checks=$((checks + 1))
  [ "$(png_size "$icon")" = "${s}x${s}" ] || fail "${s}x${s} icon is $(png_size "$icon")"
done
svg=$share/icons/hicolor/scalable/apps/$id.svg
checks=$((checks + 1))
grep -q '<svg xmlns="http://www.w3.org/2000/svg"' "$svg" 2>/dev/null || fail "no scalable icon"

summary
