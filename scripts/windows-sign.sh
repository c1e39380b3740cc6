#!/usr/bin/env bash
# Signs Windows executables in place with Authenticode and verifies each
# signature. Called by scripts/windows.sh on the two programs and on the
# installer.
#
#   KESTRELPACK_SIGN_PFX=cert.pfx KESTRELPACK_SIGN_PASSWORD=... \
#     bash scripts/windows-sign.sh FILE.exe...
#   bash scripts/windows-sign.sh --self-signed FILE.exe...
#
# With a certificate (a PKCS#12 file and its password), the signatures are
# verified against the system's certificate authorities, or against
# KESTRELPACK_SIGN_CA (a PEM file) when given. Each signature is then
# time-stamped by the server KESTRELPACK_SIGN_TIMESTAMP_URL names (an
# RFC 3161 server, such as the certificate authority's; its certificate is
# verified against KESTRELPACK_SIGN_TSA_CA, or the same authorities as the
# signature's): without a time
# stamp, every signed file verifies as unsigned once the certificate
# expires, so signing fails without one unless KESTRELPACK_SIGN_NO_TIMESTAMP=1
# says that is meant. --self-signed makes a throw-away certificate and
# verifies against it, without a time stamp: CI runs the step that way, so
# that signing is checked on every run without a real certificate.
set -euo pipefail
self_signed=0
files=()
timestamp=()
for arg in "$@"; do
  case "$arg" in
    --self-signed) self_signed=1 ;;
    -*) echo "windows-sign.sh: unknown option '$arg' (--self-signed)" >&2; exit 2 ;;
    *) files+=("$arg") ;;
  esac
done
[ "${#files[@]}" -gt 0 ] || { echo "usage: windows-sign.sh [--self-signed] FILE.exe..." >&2; exit 2; }

work="$(mktemp -d -t kestrelpack-sign.XXXXXX)"
trap 'rm -rf "$work"' EXIT
# The password goes to osslsigncode through a file, never on a command line.
umask 077
if [ "$self_signed" = 1 ]; then
  openssl req -x509 -newkey rsa:3072 -sha256 -days 2 -nodes -subj "/CN=Kestrelpack test signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
  openssl rand -hex 16 > "$work/password"
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout "file:$work/password" \
    -out "$work/cert.pfx"
  pfx="$work/cert.pfx"
  ca="$work/cert.pem"
  echo "windows-sign: signing with a throw-away self-signed certificate"
else
  pfx="${KESTRELPACK_SIGN_PFX:?windows-sign.sh: set KESTRELPACK_SIGN_PFX (or use --self-signed)}"
  if [ -n "${KESTRELPACK_SIGN_TIMESTAMP_URL:-}" ]; then
    timestamp=(-ts "$KESTRELPACK_SIGN_TIMESTAMP_URL")
  elif [ "${KESTRELPACK_SIGN_NO_TIMESTAMP:-0}" != 1 ]; then
    echo "windows-sign.sh: set KESTRELPACK_SIGN_TIMESTAMP_URL to a time-stamp server: without a time stamp the" \
      "signatures stop verifying when the certificate expires (KESTRELPACK_SIGN_NO_TIMESTAMP=1 signs without)" >&2
    exit 2
  fi
  printf '%s' "${KESTRELPACK_SIGN_PASSWORD:-}" > "$work/password"
  ca="${KESTRELPACK_SIGN_CA:-/etc/ssl/certs/ca-certificates.crt}"
  echo "windows-sign: signing with $pfx"
fi

for file in "${files[@]}"; do
  osslsigncode sign -pkcs12 "$pfx" -readpass "$work/password" -h sha256 "${timestamp[@]}" \
    -n "Kestrelpack" -in "$file" -out "$work/signed.exe" > "$work/sign.log" 2>&1 \
    || { cat "$work/sign.log" >&2; echo "windows-sign: could not sign $file" >&2; exit 1; }
  chmod --reference="$file" "$work/signed.exe"
  mv "$work/signed.exe" "$file"
  tsa_ca=()
  [ "${#timestamp[@]}" -gt 0 ] && tsa_ca=(-TSA-CAfile "${KESTRELPACK_SIGN_TSA_CA:-$ca}")
  if ! osslsigncode verify -CAfile "$ca" "${tsa_ca[@]}" -in "$file" > "$work/verify.log" 2>&1; then
    cat "$work/verify.log" >&2
    echo "windows-sign: the signature of $file does not verify" >&2
    exit 1
  fi
  # osslsigncode accepts a signature whose time stamp is missing or does not
  # verify; a time-stamped build must not.
  if [ "${#timestamp[@]}" -gt 0 ] && { ! grep -q 'Timestamp time:' "$work/verify.log" \
       || ! grep -q 'Timestamp Server Signature verification: ok' "$work/verify.log"; }; then
    cat "$work/verify.log" >&2
    echo "windows-sign: the signature of $file carries no time stamp that verifies" >&2
    exit 1
  fi
  echo "windows-sign: $(basename "$file") signed and verified ($(grep -m 1 -i 'Subject:' "$work/verify.log" | sed 's/^[[:space:]]*//'))"
done
