#!/usr/bin/env bash
# Makes the build's own test certificate, with which every build signs its
# programs and package where the maker's certificate is not given
# (scripts/sign.sh): a certification authority of the build's own and a
# code-signing certificate it issued, in the build folder, never in the
# sources. It proves that the build signs what it ships, and nothing more:
# no Windows trusts it.
#   make-test-certificate.sh DIR
# DIR/test-ca.pem is the authority's certificate, which the tests verify
# against; DIR/test-signing.pfx the signing certificate with its key
# (password "test"). A DIR that holds them already is left as it is.
set -euo pipefail
dir=$1
[ -f "$dir/test-signing.pfx" ] && [ -f "$dir/test-ca.pem" ] && exit 0
mkdir -p "$dir"
work=$(mktemp -d "$dir/.making.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
cat >ca.cnf <<'CONF'
[req]
distinguished_name = name
prompt = no
x509_extensions = ca
[name]
CN = Printer Driver Setup build test authority (not trusted)
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[signer]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CONF
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 -config ca.cnf -keyout ca.key -out ca.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=Printer Driver Setup build test signer (not trusted)" \
  -keyout signer.key -out signer.csr 2>/dev/null
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -sha256 -days 3650 \
  -extfile ca.cnf -extensions signer -out signer.pem 2>/dev/null
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout pass:test \
  -out test-signing.pfx
chmod 600 test-signing.pfx
mv ca.pem "$dir/test-ca.pem"
mv test-signing.pfx "$dir/test-signing.pfx"
