#!/usr/bin/env bash
# Signs a program, a library or a Windows Installer package in place with an
# Authenticode signature (osslsigncode): SHA-1 for Windows 2000, XP and 7
# without SHA-2 support, which read only the first signature, with a
# SHA-256 signature nested in it for every later Windows; SHA-256 alone where
# the certificate's key is no RSA key (those systems could not check it).
#   sign.sh FILE DIR
# With the maker's certificate where the environment names one:
#   SIGNING_PFX            the certificate and its key, a PKCS#12 (.pfx) file
#   SIGNING_PASSWORD       its password
#   SIGNING_TIMESTAMP_URL  a time-stamp server (Authenticode and RFC 3161),
#                          so that the signatures outlive the certificate;
#                          none is asked for where none is named
# Otherwise with the build's test certificate in DIR
# (scripts/make-test-certificate.sh), so that every build signs alike.
# DIR/signed-with then says which ("maker" or "test"), for the tests.
set -euo pipefail
file=$1 dir=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ -n "${SIGNING_PFX:-}" ]; then
  pfx=$SIGNING_PFX password=${SIGNING_PASSWORD:-} kind=maker
else
  "$here/make-test-certificate.sh" "$dir"
  pfx=$dir/test-signing.pfx password=test kind=test
fi
[ -r "$pfx" ] || { echo "sign.sh: cannot read the certificate $pfx" >&2; exit 1; }

# The password goes through a file only this user may read, never the command line.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(umask 077 && printf '%s' "$password" >"$work/password")
key=$(openssl pkcs12 -in "$pfx" -passin "file:$work/password" -nokeys -clcerts 2>/dev/null |
  openssl x509 -noout -text 2>/dev/null | grep -m 1 'Public Key Algorithm' || true)

sign() {  # sign.sh's own: HASH IN OUT [osslsigncode options]
  local hash=$1 in=$2 out=$3
  shift 3
  local stamp=()
  if [ -n "${SIGNING_TIMESTAMP_URL:-}" ]; then
    # XP reads Authenticode time stamps alone; the nested signature takes RFC 3161's.
    if [ "$hash" = sha1 ]; then stamp=(-t "$SIGNING_TIMESTAMP_URL"); else stamp=(-ts "$SIGNING_TIMESTAMP_URL"); fi
  fi
  osslsigncode sign -pkcs12 "$pfx" -readpass "$work/password" -h "$hash" \
    -n "Printer Driver Setup" "${stamp[@]}" "$@" -in "$in" -out "$out" >/dev/null
}

name=$(basename "$file")
if [[ $key == *rsaEncryption* ]]; then
  sign sha1 "$file" "$work/first-$name"
  sign sha256 "$work/first-$name" "$work/$name" -nest
else
  sign sha256 "$file" "$work/$name"
fi
# Replaced whole, keeping its permissions.
cp "$work/$name" "$file.signed"
chmod --reference="$file" "$file.signed"
mv -f "$file.signed" "$file"
printf '%s\n' "$kind" >"$dir/signed-with"
