"""A throw-away certificate authority for the TLS tests: its root goes into the
test prefix's trust store only, never into this machine's."""
import datetime
import ssl
from pathlib import Path

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID

ONE_DAY = datetime.timedelta(days=1)


def _name(common_name):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common_name)])


def _authority(common_name, now):
    key = ec.generate_private_key(ec.SECP256R1())
    cert = (x509.CertificateBuilder()
            .subject_name(_name(common_name)).issuer_name(_name(common_name))
            .public_key(key.public_key()).serial_number(x509.random_serial_number())
            .not_valid_before(now - ONE_DAY).not_valid_after(now + 30 * ONE_DAY)
            .add_extension(x509.BasicConstraints(ca=True, path_length=None), critical=True)
            .add_extension(x509.KeyUsage(digital_signature=True, key_cert_sign=True, crl_sign=True,
                                         content_commitment=False, key_encipherment=False,
                                         data_encipherment=False, key_agreement=False,
                                         encipher_only=False, decipher_only=False), critical=True)
            .sign(key, hashes.SHA256()))
    return key, cert


def _server(ca_key, ca_cert, dns_name, not_before, not_after):
    key = ec.generate_private_key(ec.SECP256R1())
    cert = (x509.CertificateBuilder()
            .subject_name(_name(dns_name)).issuer_name(ca_cert.subject)
            .public_key(key.public_key()).serial_number(x509.random_serial_number())
            .not_valid_before(not_before).not_valid_after(not_after)
            .add_extension(x509.SubjectAlternativeName([x509.DNSName(dns_name)]), critical=False)
            .add_extension(x509.BasicConstraints(ca=False, path_length=None), critical=True)
            .add_extension(x509.ExtendedKeyUsage([x509.oid.ExtendedKeyUsageOID.SERVER_AUTH]),
                           critical=False)
            .sign(ca_key, hashes.SHA256()))
    return key, cert


class TestAuthority:
    __test__ = False  # not a test class, whatever its name

    """Writes the root (DER, for the prefix's store) and one key+chain PEM per
    server kind: good (localhost), wrong name, unknown authority, expired."""

    KINDS = ("good", "wrong-name", "unknown-ca", "expired")

    def __init__(self, folder: Path):
        folder.mkdir(parents=True, exist_ok=True)
        self.root_der = folder / "root.der"
        self.pem = {kind: folder / f"{kind}.pem" for kind in self.KINDS}
        # Kept while valid for a few more days, so the prefix's store does not
        # collect a new root at every run.
        now = datetime.datetime.now(datetime.timezone.utc)
        if self.root_der.exists() and all(p.exists() for p in self.pem.values()):
            root = x509.load_der_x509_certificate(self.root_der.read_bytes())
            if root.not_valid_after > now.replace(tzinfo=None) + 5 * ONE_DAY:
                return
        ca_key, ca_cert = _authority("Tarnwick Test Root", now)
        other_key, other_cert = _authority("Tarnwick Stranger Root", now)
        self.root_der.write_bytes(ca_cert.public_bytes(serialization.Encoding.DER))
        plans = {
            "good": (ca_key, ca_cert, "localhost", now - ONE_DAY, now + 10 * ONE_DAY),
            "wrong-name": (ca_key, ca_cert, "wrong.example", now - ONE_DAY, now + 10 * ONE_DAY),
            "unknown-ca": (other_key, other_cert, "localhost", now - ONE_DAY, now + 10 * ONE_DAY),
            "expired": (ca_key, ca_cert, "localhost", now - 10 * ONE_DAY, now - 2 * ONE_DAY),
        }
        for kind, (issuer_key, issuer_cert, name, before, after) in plans.items():
            key, cert = _server(issuer_key, issuer_cert, name, before, after)
            self.pem[kind].write_bytes(
                key.private_bytes(serialization.Encoding.PEM,
                                  serialization.PrivateFormat.TraditionalOpenSSL,
                                  serialization.NoEncryption())
                + cert.public_bytes(serialization.Encoding.PEM)
                + issuer_cert.public_bytes(serialization.Encoding.PEM))

    def context(self, kind):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.minimum_version = ssl.TLSVersion.TLSv1_2
        context.load_cert_chain(self.pem[kind])
        return context
