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
# KESTRELPACK_SIGN_CA (a PEM file) when given. --self-signed makes a
# throw-away certificate and verifies against it: CI runs the step that way,
# so that signing is checked on every run without a real certificate.
set -euo pipefail
self_signed=0
files=()
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
  printf '%s' "${KESTRELPACK_SIGN_PASSWORD:-}" > "$work/password"
  ca="${KESTRELPACK_SIGN_CA:-/etc/ssl/certs/ca-certificates.crt}"
  echo "windows-sign: signing with $pfx"
fi

for file in "${files[@]}"; do
  osslsigncode sign -pkcs12 "$pfx" -readpass "$work/password" -h sha256 \
    -n "Kestrelpack" -in "$file" -out "$work/signed.exe" > "$work/sign.log" 2>&1 \
    || { cat "$work/sign.log" >&2; echo "windows-sign: could not sign $file" >&2; exit 1; }
  chmod --reference="$file" "$work/signed.exe"
  mv "$work/signed.exe" "$file"
  if ! osslsigncode verify -CAfile "$ca" -in "$file" > "$work/verify.log" 2>&1; then
    cat "$work/verify.log" >&2
    echo "windows-sign: the signature of $file does not verify" >&2
    exit 1
  fi
  echo "windows-sign: $(basename "$file") signed and verified ($(grep -m 1 -i 'Subject:' "$work/verify.log" | sed 's/^[[:space:]]*//'))"
done
