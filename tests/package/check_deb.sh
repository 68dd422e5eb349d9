#!/usr/bin/env bash
# Checks the Debian package as a user's system would meet it: lintian finds no
# error or warning, the control data carries the project's version and
# dependencies that this machine satisfies, and on a throw-away root with an
# empty dpkg database the package installs exactly its files, its programs
# answer --version with the project's version, its desktop entry, metadata,
# icons and manual pages pass the checks of a plain install (check_packaging.sh
# in tests/app), and removing and purging it leaves nothing behind
# but dpkg's own database.
#
# usage: check_deb.sh PACKAGE.deb VERSION SOURCE_DIR
set -uo pipefail

deb=$1 version=$2 source=$3
id=io.quorvel.Synchrontester
programs=(quorvel quorvel-sim quorvel-decode quorvel-jobs)
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

for tool in dpkg dpkg-deb dpkg-query lintian; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (make deps installs it)"; exit 1; }
done
[ -f "$deb" ] || { echo "FAIL: no package $deb (make package builds it)"; exit 1; }

# --- lintian ----------------------------------------------------------------------
# Overridden tags appear as O: lines and are fine; E: and W: are not.
report=$(lintian --pedantic "$deb" 2>&1 | grep -v 'running with root privileges')
checks=$((checks + 1))
if grep -q '^[EW]: ' <<<"$report"; then
  fail "lintian:"$'\n'"$report"
elif [ -n "$report" ]; then
  echo "lintian:"$'\n'"$report"
fi

# --- control data -----------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
checks=$((checks + 1))
[ "$(field Package)" = quorvel ] || fail "package name is '$(field Package)'"
checks=$((checks + 1))
[ "$(field Version)" = "$version" ] || fail "package version is '$(field Version)', the project is $version"
checks=$((checks + 1))
[ "$(basename "$deb")" = "quorvel_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "package file is named $(basename "$deb")"

# The dependencies come from the binaries' libraries, so Qt's widgets are among
# them, and this machine, where the programs were built and run, has them all.
depends=$(field Depends)
checks=$((checks + 1))
grep -q 'libqt6widgets6 (>= ' <<<"$depends" || fail "Depends lacks Qt's widgets: '$depends'"
satisfied() {  # satisfied "name (op version)": installed here, at a fitting version
  local name op want have
  read -r name op want <<<"$(sed -E 's/[()]//g; s/:any//' <<<"$1")"
  have=$(dpkg-query -W -f='${db:Status-Abbrev} ${Version}' "$name" 2>/dev/null) || return 1
  [[ $have == ii* ]] || return 1
  [ -z "$op" ] || dpkg --compare-versions "${have#* }" "$op" "$want"
}
IFS=',' read -ra relations <<<"$depends"
for relation in "${relations[@]}"; do
  checks=$((checks + 1))
  ok=false
  IFS='|' read -ra alternatives <<<"$relation"
  for alternative in "${alternatives[@]}"; do
    satisfied "$(xargs <<<"$alternative")" && ok=true
  done
  $ok || fail "dependency not satisfied here: $relation"
done

# --- install on an empty root -------------------------------------------------------
root=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-root-XXXXXX")
trap 'rm -rf "$root"' EXIT
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates"
touch "$admin/status" "$admin/available"
# The empty database knows none of the dependencies; they were checked above.
dpkg_root() { dpkg --root="$root" --force-depends --force-script-chrootless "$@"; }
if ! out=$(dpkg_root -i "$deb" 2>&1); then
  echo "FAIL: dpkg -i"$'\n'"$out"
  exit 1
fi
checks=$((checks + 1))
[ "$(dpkg --root="$root" -s quorvel 2>/dev/null | sed -n 's/^Status: //p')" = "install ok installed" ] ||
  fail "dpkg does not list quorvel as installed"

# Exactly these files, no more and no fewer.
expected=(usr/bin/quorvel usr/bin/quorvel-sim usr/bin/quorvel-decode usr/bin/quorvel-jobs
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$id.svg"
  usr/share/doc/quorvel/copyright usr/share/doc/quorvel/changelog.gz)
for s in 16 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${s}x${s}/apps/$id.png"); done
for p in "${programs[@]}"; do expected+=("usr/share/man/man1/$p.1.gz"); done
installed=$(cd "$root" && find . -path ./var -prune -o ! -type d -print | sed 's|^\./||' | sort)
checks=$((checks + 1))
[ "$installed" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
  fail "installed files differ from the expected ones:"$'\n'"$(diff <(printf '%s\n' "${expected[@]}" | sort) - <<<"$installed")"

# The translation catalogues are built into the program as resources; each
# committed catalogue's resource name (UTF-16) is in the installed binary.
for ts in "$source"/translations/*.ts; do
  name=$(basename "$ts" .ts).qm
  checks=$((checks + 1))
  LC_ALL=C grep -qaP "$(sed 's/./\\x00&/g' <<<"$name")" "$root/usr/bin/quorvel" ||
    fail "installed quorvel carries no catalogue $name"
done

# The programs, run against this machine's libraries, and the desktop
# integration, as for a plain install.
checks=$((checks + 1))
if report=$(bash "$source/tests/app/check_packaging.sh" --installed "$root/usr" "$version" 2>&1); then
  echo "installed tree: $(tail -n1 <<<"$report")"
else
  fail "the installed package:"$'\n'"$report"
fi
checks=$((checks + 1))
zcat "$root/usr/share/doc/quorvel/changelog.gz" | head -n1 | grep -q "^quorvel ($version) " ||
  fail "changelog does not start with version $version"
checks=$((checks + 1))
grep -q '^License: Expat$' "$root/usr/share/doc/quorvel/copyright" || fail "copyright names no Expat (MIT) licence"

# --- remove, purge: nothing left -------------------------------------------------------
check "dpkg -r" dpkg_root -r quorvel
check "dpkg --purge" dpkg_root --purge quorvel
left=$(cd "$root" && find . -mindepth 1 ! -path ./var ! -path ./var/lib ! -path './var/lib/dpkg' \
  ! -path './var/lib/dpkg/*' | sed 's|^\./||')
checks=$((checks + 1))
[ -z "$left" ] || fail "left behind after purge:"$'\n'"$left"
checks=$((checks + 1))
[ -z "$(ls "$admin/info" | grep -v '^format$')" ] || fail "dpkg still keeps: $(ls "$admin/info")"
checks=$((checks + 1))
! grep -q '^Package: quorvel$' "$admin/status" || fail "dpkg's status still lists quorvel"

summary
