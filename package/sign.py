"""Authenticode signatures for the release's programs, with SHA-256 digests, made by osslsigncode with
the certificate that the environment names (so that a CI secret store can hand it over):
  TESSALINE_SIGN_PKCS12, TESSALINE_SIGN_PASSWORD     a PKCS#12 file and its password; or
  TESSALINE_SIGN_PKCS11_MODULE, TESSALINE_SIGN_PKCS11_KEY, TESSALINE_SIGN_CERT
                                                     a PKCS#11 module (a token's or a cloud HSM's), the
                                                     key's PKCS#11 URI and the certificate chain (PEM);
                                                     TESSALINE_SIGN_PASSWORD is the PIN, where the URI
                                                     holds none
  TESSALINE_SIGN_TIMESTAMP                           an RFC 3161 timestamp server's URL, optional
make_release.py signs with it; the setup program's script calls it as a command for the uninstaller and
for the setup program itself:
  sign.py <file> <what the file is>     signs the file in place, or says why not and exits with 1
"""
import os
import shutil
import subprocess
import sys
import tempfile

PKCS12 = ("TESSALINE_SIGN_PKCS12",)
PKCS11 = ("TESSALINE_SIGN_PKCS11_MODULE", "TESSALINE_SIGN_PKCS11_KEY", "TESSALINE_SIGN_CERT")
DESCRIPTION = "Tessaline"


def requested():
    """Whether the environment names a certificate."""
    return any(os.environ.get(name) for name in PKCS12 + PKCS11)


def certificate_options(password_file):
    """osslsigncode's options for the certificate, or None where the environment names only part of one."""
    names = PKCS12 if os.environ.get("TESSALINE_SIGN_PKCS12") else PKCS11
    if not all(os.environ.get(name) for name in names):
        return None
    if names == PKCS12:
        return ["-pkcs12", os.environ["TESSALINE_SIGN_PKCS12"], "-readpass", password_file]
    pin = ["-readpass", password_file] if os.environ.get("TESSALINE_SIGN_PASSWORD") else []
    # osslsigncode reaches the module through OpenSSL's engine "pkcs11" (libengine-pkcs11-openssl).
    return ["-pkcs11module", os.environ["TESSALINE_SIGN_PKCS11_MODULE"], "-key", os.environ["TESSALINE_SIGN_PKCS11_KEY"],
            "-certs", os.environ["TESSALINE_SIGN_CERT"]] + pin


def sign(path, what):
    """Signs the file in place. None, or why it could not be signed."""
    with tempfile.TemporaryDirectory(prefix="tessaline-sign-") as private:
        # The password goes in a file only its owner reads, not on a command line that everyone sees.
        password_file = os.path.join(private, "password")
        with open(os.open(password_file, os.O_WRONLY | os.O_CREAT, 0o600), "w") as password:
            password.write(os.environ.get("TESSALINE_SIGN_PASSWORD", ""))
        certificate = certificate_options(password_file)
        if certificate is None:
            return ("signing %s failed: the environment names only part of a certificate, which takes "
                    "TESSALINE_SIGN_PKCS12 with TESSALINE_SIGN_PASSWORD, or %s" % (what, " and ".join(PKCS11)))
        timestamp = ["-ts", os.environ["TESSALINE_SIGN_TIMESTAMP"]] if os.environ.get("TESSALINE_SIGN_TIMESTAMP") else []
        signed = os.path.join(private, "signed")
        try:
            result = subprocess.run(["osslsigncode", "sign", *certificate, "-h", "sha256", "-n", DESCRIPTION,
                                     *timestamp, "-in", path, "-out", signed], capture_output=True, text=True)
        except OSError as error:
            return "signing %s failed: %s" % (what, error)
        if result.returncode != 0 or not os.path.isfile(signed):
            said = (result.stderr + result.stdout).strip().splitlines()[-6:]
            return "signing %s failed; osslsigncode said:\n  %s" % (what, "\n  ".join(said))
        shutil.copyfile(signed, path)
    return None


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: sign.py <file> <what the file is>")
    error = sign(sys.argv[1], sys.argv[2])
    if error:
        sys.exit("make_release: " + error)


if __name__ == "__main__":
    main()
