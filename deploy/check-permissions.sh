#!/usr/bin/env bash
# What Wine cannot show of the package: the access list Windows Installer
# gives the installation folder (its LockPermissions table), which Wine's
# msiexec does not apply. setup.exe runs from that folder as the local
# system account, so wherever INSTALLDIR points, the folder must be the
# administrators': they have full control, the Users group may read and
# execute and nothing more, and no one else is named (Windows Installer
# gives the system full control of every folder it locks). The folder's
# entries must belong to a component of a feature, or no folder is locked.
#   check-permissions.sh PACKAGE.msi
set -euo pipefail
package=$1
rows() { { msiinfo export "$package" "$1" 2>/dev/null || true; } | tr -d "\r" | tail -n +4; }
# Domain, user and rights of each entry (an empty domain as "-": read would merge the tabs).
locks=$(rows LockPermissions | awk -F'\t' '$1 == "INSTALLDIR" && $2 == "CreateFolder" { print ($3 == "" ? "-" : $3) "\t" $4 "\t" $5 }')
[ -n "$locks" ] || { echo "the package does not lock INSTALLDIR" >&2; exit 1; }
component=$(rows CreateFolder | awk -F'\t' '$1 == "INSTALLDIR" { print $2 }')
[ -n "$component" ] || { echo "INSTALLDIR is no folder the package creates (CreateFolder)" >&2; exit 1; }
rows FeatureComponents | awk -F'\t' -v c="$component" '$2 == c { found = 1 } END { exit !found }' ||
  { echo "the component $component that creates INSTALLDIR belongs to no feature" >&2; exit 1; }
# Who is named, and with what rights.
status=0
administrators=0 users=0
while IFS=$'\t' read -r domain user permission; do
  rights=$(( permission & 0xFFFFFFFF ))
  # The rights that change the folder or what it holds (write data, add a
  # file or folder, attributes, deletion, the access list, the owner) and
  # the generic ones that hold them.
  writes=$(( rights & 0x500D0156 ))
  case "$user" in
    Administrators)
      (( rights == 0x10000000 || (rights & 0x1F01FF) == 0x1F01FF )) || { echo "Administrators lack full control ($rights)" >&2; status=1; }
      administrators=1 ;;
    '[UsersGroup]')
      (( writes == 0 )) || { echo "the Users group may change the folder ($rights)" >&2; status=1; }
      (( (rights & 0x1200A9) == 0x1200A9 )) || { echo "the Users group may not read and run the folder's programs ($rights)" >&2; status=1; }
      users=1 ;;
    *)
      echo "the folder's access list names $user (domain $domain) too" >&2; status=1 ;;
  esac
done <<<"$locks"
(( administrators && users )) || { echo "the folder's access list lacks the Administrators or the Users group" >&2; status=1; }
# The Users group's name is the system's own: PrepareSetup looks it up,
# the English name standing where it cannot.
default=$(rows Property | awk -F'\t' '$1 == "UsersGroup" { print $2 }')
[ "$default" = Users ] || { echo "no English name stands for the Users group (UsersGroup is '$default')" >&2; status=1; }
[ "$status" -eq 0 ] && echo "INSTALLDIR: Administrators full control, Users read and execute, nobody else"
exit "$status"
