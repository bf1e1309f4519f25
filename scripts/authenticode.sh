# Authenticode signatures of the release's programs with Debian's
# osslsigncode, sourced by scripts/release.sh and scripts/verify-release.sh.
#
# A detached signature (ControlPanel.exe.p7s) is the PKCS#7 signed data of
# a signed program in DER, as Windows' tools and openssl read it.
# osslsigncode 2.5 (Debian 12) writes "extract-signature" without -pem as the
# raw entry of the program's certificate table, not as PKCS#7, and its
# "attach-signature" reads PEM only; later versions read and write both. So
# the signature leaves osslsigncode and comes back to it as PEM, and openssl
# turns it into DER and back. Attaching is deterministic and the same in
# 2.5 and 2.9: the certificate table holds the signature's DER padded with
# zeros to 8 bytes, and the PE checksum is computed anew; so a signature
# attached to the unsigned program gives the signed program byte for byte,
# whichever of them signed and whichever attaches.

# The programs of a release, each signed.
SIGNED_PROGRAMS=(ControlPanel.exe ControlPanel.com)

# The description Windows shows for a signed program (the signature's
# "program name", in the prompt of User Account Control).
AUTHENTICODE_DESCRIPTION="Corvalent Control Panel"

# authenticode_sign IDENTITY PASSWORD URL UNSIGNED SIGNED: signs with the
# PKCS#12 identity, SHA-256, time-stamped by the RFC 3161 service at URL
# unless URL is empty. The password reaches osslsigncode through a pipe
# (-readpass), never through its command line or a file. Prints
# osslsigncode's report.
authenticode_sign() {
  local identity=$1 password=$2 url=$3 unsigned=$4 signed=$5
  local time_stamp=()
  [ -n "$url" ] && time_stamp=(-ts "$url")
  rm -f -- "$signed"
  if [ -z "$password" ]; then
    # osslsigncode reads no empty password from a file: none is given.
    osslsigncode sign -pkcs12 "$identity" -h sha256 -n "$AUTHENTICODE_DESCRIPTION" \
      "${time_stamp[@]}" -in "$unsigned" -out "$signed"
  else
    osslsigncode sign -pkcs12 "$identity" -readpass <(printf '%s' "$password") -h sha256 \
      -n "$AUTHENTICODE_DESCRIPTION" "${time_stamp[@]}" -in "$unsigned" -out "$signed"
  fi
}

# authenticode_detach SIGNED P7S: writes the signature of a signed program,
# DER. Prints what failed.
authenticode_detach() {
  local signed=$1 p7s=$2 scratch status=0
  scratch=$(mktemp -d)
  osslsigncode extract-signature -pem -in "$signed" -out "$scratch/signature.pem" >/dev/null &&
    openssl pkcs7 -in "$scratch/signature.pem" -outform DER -out "$p7s" || status=$?
  rm -rf -- "$scratch"
  return $status
}

# authenticode_attach P7S UNSIGNED SIGNED: writes the program that the
# detached signature and the unsigned program make. osslsigncode checks the
# signature as it attaches it and fails when the program's digest differs or
# when the signer's chain does not verify against the system's store, but
# writes the program all the same: whether it is the published program
# (cmp) and whether its signature verifies (authenticode_verify, with the
# CA files that apply) are the caller's checks, which say more. Fails, with
# osslsigncode's report, only when no program was written.
authenticode_attach() {
  local p7s=$1 unsigned=$2 signed=$3 scratch report status=0
  scratch=$(mktemp -d)
  rm -f -- "$signed"
  if openssl pkcs7 -inform DER -in "$p7s" -out "$scratch/signature.pem" 2>/dev/null; then
    report=$(osslsigncode attach-signature -sigin "$scratch/signature.pem" -in "$unsigned" -out "$signed" 2>&1) || true
    if [ ! -s "$signed" ]; then
      printf '%s\n' "$report"
      status=1
    fi
  else
    echo "$p7s: not a PKCS#7 signature in DER"
    status=1
  fi
  rm -rf -- "$scratch"
  return $status
}

# authenticode_verify PROGRAM CA_FILE TSA_CA_FILE: osslsigncode's
# verification of the signature (the digest of the program, the signer's
# chain, the time stamp and its chain), against the given CA files, or the
# system's store where one is empty. Prints osslsigncode's report.
authenticode_verify() {
  local program=$1 ca_file=$2 tsa_ca_file=$3
  local stores=()
  [ -n "$ca_file" ] && stores+=(-CAfile "$ca_file")
  [ -n "$tsa_ca_file" ] && stores+=(-TSA-CAfile "$tsa_ca_file")
  osslsigncode verify "${stores[@]}" -in "$program" 2>&1
}

# The signer's subject in a report of authenticode_verify ("/CN=...").
authenticode_signer_of() {
  awk '/^Signer.s certificate:/ { signer = 1 }
       signer && /Subject:/ { sub(/^[^:]*: */, ""); print; exit }' <<<"$1"
}

# "time-stamped <time>" from a report of authenticode_verify, empty without
# a time stamp (osslsigncode 2.9 and 2.5 word it differently).
authenticode_time_stamp_of() {
  sed -nE 's/^[[:space:]]*(Timestamp time|The signature is timestamped): */time-stamped /p' <<<"$1" | head -n 1
}
