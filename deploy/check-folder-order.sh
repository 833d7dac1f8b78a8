#!/usr/bin/env bash
# The package checks the installation folder's path before it writes
# anything: its immediate CheckFolders action must run after CostFinalize
# (where INSTALLDIR takes its final value) and before the first action that
# makes a folder, copies a file or writes the registry, at installation and
# at a major upgrade alike (Wine runs the sequence as Windows does, but
# every action as one user: a refusal there is never seen).
#   check-folder-order.sh PACKAGE.msi
set -euo pipefail
package=$1
rows() { msiinfo export "$package" "$1" | tr -d "\r" | tail -n +4; }
sequence() { rows InstallExecuteSequence | awk -F'\t' -v a="$1" '$1 == a { print $3 }'; }
type=$(rows CustomAction | awk -F'\t' '$1 == "CheckFolders" { print $2 }')
check=$(sequence CheckFolders) cost=$(sequence CostFinalize)
[ -n "$type" ] && [ -n "$check" ] && [ -n "$cost" ] || { echo "the package lacks CheckFolders or CostFinalize" >&2; exit 1; }
(( (type & 0x400) == 0 )) || { echo "CheckFolders (type $type) runs in the script, after the files" >&2; exit 1; }
(( (type & 0x40) == 0 )) || { echo "CheckFolders (type $type) ignores its result" >&2; exit 1; }
(( check > cost )) || { echo "CheckFolders ($check) runs before CostFinalize ($cost)" >&2; exit 1; }
status=0
for writer in CreateFolders InstallFiles WriteRegistryValues RemoveExistingProducts InstallInitialize; do
  at=$(sequence "$writer")
  [ -z "$at" ] || (( check < at )) || { echo "CheckFolders ($check) runs after $writer ($at)" >&2; status=1; }
done
condition=$(rows InstallExecuteSequence | awk -F'\t' '$1 == "CheckFolders" { print $2 }')
[ "$status" -eq 0 ] && echo "CheckFolders ($check, when: ${condition:-always}) runs after CostFinalize ($cost) and before anything is written"
exit "$status"
