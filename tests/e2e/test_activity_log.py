"""A night of the real program as its activity log and tray notices tell it:
the line drops, two redials fail, the third connects with a new address, the
script mails it, uploads the page and fails on an FTP server that refuses. The
log holds each of these in order and none of the stored passwords."""
import re
import socket
import subprocess
import time

from conftest import BUILD, PREFIX, PRODUCT_KEY, wait_for

# The FTP server's password is the one the ftp_server fixture gives "joe".
PASSWORDS = ["s3cret", "dead-Pw-51q", "proxy-Pw-42z", "dial-Pw-17k"]


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def settings_tree(smtp_host, ftp_port, dead_port):
    return f"""[{PRODUCT_KEY}]
"version"=hex:9a,99,99,99,99,99,f1,3f
"AutoStart"=dword:00000000
"conname"="Home DSL"
"Reconnect"=dword:00000001
"redelay"=dword:00000001
"maxretries"=dword:00000005
"MonitorIP"=dword:00000001
"usesmtp"=dword:00000001
"SMTPServer"="{smtp_host}"
"loggingenabled"=dword:00000001
"logfile"="C:\\\\tarnwick-e2e\\\\activity.log"
"lastip"="10.64.7.5"
"proxyname"="127.0.0.1"
"proxyport"=dword:00001f90
"proxyuser"="walt"
"proxypass"="{PASSWORDS[2]}"
"connuser"="dialer"
"connpass"="{PASSWORDS[3]}"
"Notifcnt"=dword:00000003

[{PRODUCT_KEY}\\Notif1]
"NotifyMethod"=dword:00000000
"eFrom"="tarnwick@example.com"
"ETo"="admin@example.com"
"esubject"="New IP Address: <IPADDRESS>"
"emessage"="Your new IP Address is: <IPADDRESS>"
"maxretries"=dword:00000000

[{PRODUCT_KEY}\\Notif2]
"NotifyMethod"=dword:00000001
"FTPServer"="127.0.0.1"
"FTPPath"="/ip.html"
"FTPHTML"="<html><IPADDRESS></html>"
"FTPPort"=dword:{ftp_port:08x}
"FTPUser"="joe"
"FTPPass"="{PASSWORDS[0]}"

[{PRODUCT_KEY}\\Notif3]
"NotifyMethod"=dword:00000001
"FTPServer"="127.0.0.1"
"FTPPath"="/backup/ip.html"
"FTPHTML"="<html><IPADDRESS></html>"
"FTPPort"=dword:{dead_port:08x}
"FTPUser"="joe"
"FTPPass"="{PASSWORDS[1]}"
"""


def rassim_control(address, outcome="connect", action=""):
    return (f"step-delay 2\nclient-ip {address}\nentry Home DSL\noutcome {outcome}\n"
            + (action + "\n" if action else ""))


def events(log_path):
    if not log_path.exists():
        return []
    stamp = r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d"
    lines = log_path.read_text(encoding="cp1252").splitlines()
    for line in lines:
        assert re.match(stamp + r" [a-z-]+(: .*)?$", line), line
    return [line.split(" ", 1)[1] for line in lines]


def test_a_drop_two_failed_redials_and_an_address_change_are_logged_in_order(
        wine, rassim, program, smtp_server, ftp_server):
    ftp_port, ftp_root = ftp_server
    log_path = PREFIX / "drive_c" / "tarnwick-e2e" / "activity.log"
    for stale in (log_path, log_path.with_name("activity.log.1")):
        stale.unlink(missing_ok=True)
    rassim.write(rassim_control("10.64.7.5", action="connected Home DSL"))
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(settings_tree(smtp_server.host, ftp_port, closed_port()))

    program("startup")  # in the tray, as it runs unattended
    assert wait_for(lambda: any(e.startswith("connected:") for e in events(log_path))), \
        events(log_path)
    rassim.write(rassim_control("10.64.7.5", "fail 678 at 2", "drop Home DSL"))
    assert wait_for(lambda: any(e.startswith("dropped:") for e in events(log_path)))
    # The drop's notice over the tray icon, for a person to look at.
    shots = BUILD / "screenshots"
    shots.mkdir(exist_ok=True)
    time.sleep(2.5)  # the shell shows a balloon two seconds after it gets it
    subprocess.run(["import", "-window", "root", "-crop", "1024x768+0+0", "+repage",
                    str(shots / "activity-notice.png")], check=False)
    assert wait_for(lambda: sum(e.startswith("redial-failed") for e in events(log_path)) >= 2,
                    timeout=40), events(log_path)
    rassim.write(rassim_control("10.64.7.9"))
    assert wait_for(lambda: any(e.startswith("step-failed") for e in events(log_path)),
                    timeout=60), events(log_path)

    log = events(log_path)
    expected = [
        r"start: version \d+\.\d+, settings HKEY_LOCAL_MACHINE\\SOFTWARE\\Fenmoor\\Tarnwick",
        r'connected: entry "Home DSL", address 10\.64\.7\.5',
        r'dropped: entry "Home DSL", address 10\.64\.7\.5, up \d+:\d\d:\d\d, \d+ bytes sent, '
        r"\d+ received; redialing",
        r'redial-failed: entry "Home DSL", attempt 1: .+ \(error 678\)',
        r'redial-failed: entry "Home DSL", attempt 2: .+ \(error 678\)',
        r'redial-connected: entry "Home DSL", attempt [3-9]',
        r'connected: entry "Home DSL", address 10\.64\.7\.9',
        r"address-changed: from 10\.64\.7\.5 to 10\.64\.7\.9",
        rf"step-done: step 1 \(e-mail\) to admin@example.com through {re.escape(smtp_server.host)}"
        r": 250 Message accepted for delivery",
        rf"step-done: step 2 \(FTP\) ftp://127\.0\.0\.1:{ftp_port}/ip\.html",
        r"step-failed: step 3 \(FTP\) ftp://127\.0\.0\.1:\d+/backup/ip\.html: .+",
    ]
    # Attempts between the second failure and the control file's change may fail too.
    log = [e for i, e in enumerate(log)
           if not (e.startswith("redial-failed") and "attempt 1:" not in e
                   and "attempt 2:" not in e)]
    assert len(log) >= len(expected), "\n".join(log)
    for pattern, line in zip(expected, log):
        assert re.fullmatch(pattern, line), f"{line!r} !~ {pattern!r}\n" + "\n".join(log)
    assert (ftp_root / "ip.html").read_bytes() == b"<html>10.64.7.9</html>"
    text = log_path.read_text(encoding="cp1252")
    for password in PASSWORDS:
        assert password not in text
