#!/usr/bin/env bash
# What Wine cannot show of the package: Wine's msiexec takes an installation's
# files away before it runs the rollback's custom actions, so the rollback's
# setup.exe never runs there. Windows runs the rollback script in reverse
# order, so the package's rollback removal must (1) be a rollback action at
# all, which wixl cannot write (build-package.sh sets its type), and (2) come
# after the installation, so that a setup.exe that failed has nothing of the
# model taken off that was there before it.
#   check-rollback.sh PACKAGE.msi
set -euo pipefail
package=$1
type=$(msiinfo export "$package" CustomAction | tr -d "\r" | awk -F'\t' '$1 == "RollbackSetupInstall" { print $2 }')
sequence() { msiinfo export "$package" InstallExecuteSequence | tr -d "\r" | awk -F'\t' -v a="$1" '$1 == a { print $3 }'; }
install=$(sequence RunSetupInstall) rollback=$(sequence RollbackSetupInstall)
[ -n "$type" ] && [ -n "$install" ] && [ -n "$rollback" ] || { echo "the package lacks its setup actions" >&2; exit 1; }
(( type & 256 )) || { echo "RollbackSetupInstall (type $type) is not a rollback action" >&2; exit 1; }
(( type & 1024 )) || { echo "RollbackSetupInstall (type $type) does not run in the script" >&2; exit 1; }
(( rollback > install )) || { echo "the rollback removal ($rollback) comes before the installation ($install)" >&2; exit 1; }
echo "the rollback removal (type $type, $rollback) follows the installation ($install)"
