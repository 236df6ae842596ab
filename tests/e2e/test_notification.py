"""An address change seen by the real program: the notification script mails
the new address to an SMTP server and uploads a page carrying it to an FTP
server (active mode), then records it in the registry."""
import re

from conftest import BUILD, PRODUCT_KEY, reg_string, wait_for


def settings_tree(smtp_host, ftp_port):
    return f"""[{PRODUCT_KEY}]
"version"=hex:9a,99,99,99,99,99,f1,3f
"AutoStart"=dword:00000000
"conname"="Home DSL"
"MonitorIP"=dword:00000001
"usesmtp"=dword:00000001
"SMTPServer"="{smtp_host}"
"Notifcnt"=dword:00000002

[{PRODUCT_KEY}\\Notif1]
"NotifyMethod"=dword:00000000
"eFrom"="tarnwick@example.com"
"ETo"={reg_string('Network Admin <admin@example.com>')}
"esubject"="New IP Address: <IPADDRESS>"
"emessage"="Your new IP Address is: <IPADDRESS>"
"maxretries"=dword:00000001

[{PRODUCT_KEY}\\Notif2]
"NotifyMethod"=dword:00000001
"FTPServer"="127.0.0.1"
"FTPPath"="/ip.html"
"FTPHTML"="<html><IPADDRESS> and <IPADDRESS></html>"
"FTPPort"=dword:{ftp_port:08x}
"FTPUser"="joe"
"FTPPass"="s3cret"
"""


def test_an_address_change_is_mailed_uploaded_and_recorded(wine, rassim, program, smtp_server,
                                                            ftp_server):
    ftp_port, ftp_root = ftp_server
    rassim.write("entry Home DSL\nclient-ip 10.64.7.{n}\nconnected Home DSL\n")
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(settings_tree(smtp_server.host, ftp_port))

    program()

    assert wait_for(lambda: smtp_server.messages, timeout=30), "no mail arrived"
    mail = smtp_server.messages[0]
    assert mail.mail_from == "tarnwick@example.com"
    assert mail.rcpt_tos == ["admin@example.com"]
    content = mail.content.decode("ascii")
    match = re.search(r"^Subject: New IP Address: (10\.64\.7\.\d+)\r$", content, re.M)
    assert match, content
    address = match.group(1)
    assert f"Your new IP Address is: {address}" in content
    assert re.search(r'^To: "Network Admin" <admin@example.com>\r$', content, re.M), content

    page = wait_for(lambda: (ftp_root / "ip.html").exists() and (ftp_root / "ip.html").read_bytes(),
                    timeout=30)
    assert page == f"<html>{address} and {address}</html>".encode()
    assert wait_for(lambda: wine.reg_value(PRODUCT_KEY, "lastip") == address, timeout=10)
    # The page's temporary file beside the program is gone again.
    assert not (BUILD / "tmpdog.html").exists()
    assert len(smtp_server.messages) == 1  # once per change, not once per tick
