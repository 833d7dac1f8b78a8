#!/usr/bin/env bash
# Builds the Windows Installer package of a medium with msitools:
#   build-package.sh MEDIUM ACTION_DLL VERSION PRODUCT_CODE OUTPUT.msi
# MEDIUM is the medium's folder (setup.exe and everything beside it), all of
# which the package installs; ACTION_DLL the custom actions
# (deploy/SetupAction.c); VERSION three numbers; PRODUCT_CODE the version's
# own GUID (a new one with every version: a major upgrade).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
medium=$(cd "$1" && pwd)
action=$2 version=$3 code=$4 output=$5
[ -f "$medium/setup.exe" ] || { echo "no setup.exe in $medium" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every file of the medium, each its own component under INSTALLDIR.
(cd "$medium" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) |
  wixl-heat --prefix "" --directory-ref INSTALLDIR --var var.MediumDir --component-group Medium \
  >"$work/medium.wxs"
# wixl finds sources by paths relative to where it runs.
ln -s "$medium" "$work/medium"
cp "$action" "$work/SetupAction.dll"
(cd "$work" && wixl --arch x86 -D MediumDir=medium -D ActionDll=SetupAction.dll -D Version="$version" \
  -D ProductCode="$code" -o package.msi "$here/PrinterDriverSetup.wxs" medium.wxs)
# wixl writes every deferred action as one that runs in the installation;
# the one that undoes a failed installation must run only on rollback:
# to the type wixl wrote (a DLL action in the script, as the system account,
# its result ignored: 3137) goes the rollback flag (256).
msibuild "$work/package.msi" -q "UPDATE CustomAction SET Type = 3393 WHERE Action = 'RollbackSetupInstall'"
# The installation folder's access list (wixl has no Permission element):
# Administrators full control (GENERIC_ALL), the Users group read and
# execute (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE), by the name
# PrepareSetup finds for it; Windows Installer adds the system itself.
msibuild "$work/package.msi" -q "CREATE TABLE \`LockPermissions\` (\`LockObject\` CHAR(72) NOT NULL, \`Table\` CHAR(32) NOT NULL, \`Domain\` CHAR(255), \`User\` CHAR(255) NOT NULL, \`Permission\` LONG PRIMARY KEY \`LockObject\`, \`Table\`, \`Domain\`, \`User\`)"
lock() { msibuild "$work/package.msi" -q "INSERT INTO \`LockPermissions\` (\`LockObject\`, \`Table\`, \`User\`, \`Permission\`) VALUES ('INSTALLDIR', 'CreateFolder', '$1', $2)"; }
lock Administrators 268435456
lock '[UsersGroup]' 1179817
mv "$work/package.msi" "$output"
