"""Authenticode signatures through osslsigncode: the command lines for a key in a
PKCS#12 file or on a PKCS#11 token, and what a verification says."""

import os
import re
import subprocess
from dataclasses import dataclass

OSSLSIGNCODE = "osslsigncode"


@dataclass
class SigningKey:
    """A PKCS#12 file, or a key on a token (a PKCS#11 URI or id) with its module.

    The password (or the token's PIN) never goes on a command line: it comes from
    a file, or from an environment variable and reaches osslsigncode through a pipe."""
    key: str
    pkcs11_module: str = ""
    certificate: str = ""      # a token's certificate: a file, or a PKCS#11 URI or id
    password_file: str = ""
    password_variable: str = ""
    timestamp_url: str = ""
    ca_file: str = ""          # the roots a verification trusts; the system's when empty

    @property
    def on_token(self):
        return bool(self.pkcs11_module)

    def token_certificate(self):
        """The certificate of a token's key: given, or the key's URI asking for the
        certificate object of the same name."""
        if self.certificate:
            return self.certificate
        if self.key.startswith("pkcs11:"):
            parts = [part for part in self.key[len("pkcs11:"):].split(";") if not part.startswith("type=")]
            return "pkcs11:" + ";".join(parts + ["type=cert"])
        return self.key

    def problems(self):
        """What is wrong with the key's description, as lines; [] when nothing is."""
        lines = []
        if self.password_file and self.password_variable:
            lines.append("give the password by a file or by a variable, not both")
        if self.password_variable and self.password_variable not in os.environ:
            lines.append(f"the environment variable {self.password_variable} (the key's password) is not set")
        if self.password_file and not os.path.isfile(self.password_file):
            lines.append(f"the password file {self.password_file} does not exist")
        if not self.on_token and not os.path.isfile(self.key):
            lines.append(f"the key file {self.key} does not exist (a key on a token needs --pkcs11-module)")
        if self.on_token and not os.path.isfile(self.pkcs11_module):
            lines.append(f"the PKCS#11 module {self.pkcs11_module} does not exist")
        return lines


def sign_command(key, unsigned, signed, description, password_path=None):
    """The osslsigncode command that signs `unsigned` into `signed`. `password_path`
    is where osslsigncode reads the password (a file, or /dev/fd/N of a pipe)."""
    command = [OSSLSIGNCODE, "sign"]
    if key.on_token:
        command += ["-pkcs11module", key.pkcs11_module]
        certificate = key.token_certificate()
        command += ["-certs", certificate] if os.path.isfile(certificate) else ["-pkcs11cert", certificate]
        command += ["-key", key.key]
    else:
        command += ["-pkcs12", key.key]
    if password_path:
        command += ["-readpass", password_path]
    command += ["-h", "sha256", "-n", description]
    if key.timestamp_url:
        command += ["-ts", key.timestamp_url]
    return command + ["-in", str(unsigned), "-out", str(signed)]


def verify_command(key, path):
    command = [OSSLSIGNCODE, "verify", "-in", str(path)]
    if key.ca_file:
        command += ["-CAfile", key.ca_file]
    return command


def sign(key, unsigned, signed, description):
    """Signs a file into `signed`, which it replaces; raises RuntimeError with
    osslsigncode's words when it fails."""
    if os.path.lexists(signed):
        os.unlink(signed)  # osslsigncode writes no file over another
    read_end = None
    try:
        if key.password_variable:
            read_end, write_end = os.pipe()
            with os.fdopen(write_end, "wb") as pipe:
                pipe.write(os.environ[key.password_variable].encode())
            password_path, keep = f"/dev/fd/{read_end}", (read_end,)
        else:
            password_path, keep = key.password_file or None, ()
        done = subprocess.run(sign_command(key, unsigned, signed, description, password_path), pass_fds=keep,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
    finally:
        if read_end is not None:
            os.close(read_end)
    if done.returncode != 0 or not os.path.isfile(signed):
        raise RuntimeError(f"osslsigncode could not sign {unsigned}: " + last_lines(done))


def verify(key, path):
    """The signer's subject of a file whose signature osslsigncode accepts;
    raises RuntimeError with its words when it does not."""
    done = subprocess.run(verify_command(key, path), stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
    output = done.stdout.decode("utf-8", errors="replace")
    if done.returncode != 0 or "Signature verification: ok" not in output:
        raise RuntimeError(f"osslsigncode does not accept the signature of {path}: " + last_lines(done))
    return signer_subject(done.stdout)


def signer_subject(output):
    """The first signer's subject in osslsigncode's report, its \\xHH bytes as characters."""
    match = re.search(rb"Signer #0:\s*\n\s*Subject: ([^\n]*)", output)
    if not match:
        return ""
    raw = re.sub(rb"\\x([0-9A-Fa-f]{2})", lambda m: bytes([int(m.group(1), 16)]), match.group(1).strip())
    return raw.decode("utf-8", errors="replace")


def last_lines(done, count=4):
    text = (done.stderr + done.stdout).decode("utf-8", errors="replace").strip().splitlines()
    return " / ".join(line.strip() for line in text[-count:] if line.strip()) or f"exit status {done.returncode}"
