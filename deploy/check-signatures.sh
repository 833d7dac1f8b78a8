#!/usr/bin/env bash
# Checks the build's Authenticode signatures with osslsigncode, against the
# authority of the certificate the build signed with (scripts/sign.sh): the
# build's test authority, or the system's trusted ones for the maker's.
#   check-signatures.sh signed   DIR FILE...      each file is signed, its
#                                                 signatures match it: SHA-256,
#                                                 and SHA-1 first with an RSA key
#   check-signatures.sh packaged DIR PACKAGE.msi SETUP.exe
#                                                 the package's setup.exe is
#                                                 SETUP.exe, signed
#   check-signatures.sh changed  DIR FILE...      a copy with one byte changed
#                                                 fails verification
# DIR is the build's signing folder.
set -euo pipefail
mode=$1 dir=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
authority=()
[ "$(cat "$dir/signed-with")" = maker ] || authority=(-CAfile "$dir/test-ca.pem")

verify() { osslsigncode verify "${authority[@]}" -in "$1" >"$work/verified" 2>&1; }

fail() { echo "FAILED: $*" >&2; [ -f "$work/verified" ] && cat "$work/verified" >&2; exit 1; }

signed() {
  verify "$1" || fail "$1 is not signed, or its signature does not match it"
  grep -q '^Succeeded' "$work/verified" || fail "$1: verification did not succeed"
  grep -Eq '^Message digest algorithm +: SHA256' "$work/verified" || fail "$1 has no SHA-256 signature"
  if [ "$(cat "$dir/signed-with")" = test ]; then
    # The test certificate's key is an RSA key: SHA-1 first, for the older systems.
    [ "$(grep -Em 1 '^Message digest algorithm +:' "$work/verified" | awk '{print $NF}')" = SHA1 ] ||
      fail "$1: its first signature is not the SHA-1 one"
  fi
  echo "signed: $1"
}

# One byte inside what the signature covers: in a program, its code (the
# middle of the file, far from the signature at its end); in a package, the
# DOS header's text of the first program in its cabinet stream, which the
# signature covers as it covers every stream.
changeOneByte() {
  local file=$1 copy=$2 offset
  cp "$file" "$copy"
  offset=$(( $(stat -c %s "$file") / 2 ))
  if [[ $file == *.msi ]]; then
    offset=$(grep -obUaP 'This program cannot be run in DOS mode' "$file" | head -n 1 | cut -d: -f1)
    [ -n "$offset" ] || fail "$file: no program's DOS header found in it"
  fi
  local byte
  byte=$(od -An -tu1 -j "$offset" -N1 "$file" | tr -d ' ')
  printf "$(printf '\\%03o' $(( byte ^ 0x20 )))" | dd of="$copy" bs=1 seek="$offset" conv=notrunc status=none
  cmp -s "$file" "$copy" && fail "$file: the byte at $offset did not change"
  echo "$offset"
}

case $mode in
  signed)
    for file in "$@"; do signed "$file"; done ;;
  packaged)
    package=$1 setup=$2
    mkdir "$work/extracted"
    msiextract -C "$work/extracted" "$package" >/dev/null
    found=$(find "$work/extracted" -iname setup.exe)
    [ "$(printf '%s\n' "$found" | grep -c .)" = 1 ] || fail "$package: not one setup.exe in it: $found"
    cmp "$found" "$setup" || fail "$package: its setup.exe is not $setup"
    signed "$found" ;;
  changed)
    for file in "$@"; do
      copy="$work/changed-$(basename "$file")"
      offset=$(changeOneByte "$file" "$copy")
      verify "$file" || fail "$file does not verify unchanged"
      ! verify "$copy" || fail "$file verifies with the byte at $offset changed"
      echo "a changed byte at $offset fails verification: $file"
    done ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
