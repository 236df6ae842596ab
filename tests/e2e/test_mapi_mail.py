"""With default settings (usesmtp off) the notification script hands its mail
to the system's mail program through Simple MAPI: here the simulated one,
whose event log shows what it was given."""
import re

from conftest import PRODUCT_KEY, wait_for


def fields(line):
    """key=value pairs of an event line; quoted values unescaped."""
    pairs = {}
    for key, quoted, bare in re.findall(r'(\w+)=(?:"((?:[^"\\]|\\.)*)"|(\S*))', line):
        value = bare if not quoted else re.sub(r"\\(.)", lambda m: {"r": "\r", "n": "\n", "t": "\t"}
                                               .get(m.group(1), m.group(1)), quoted)
        pairs[key] = value
    return pairs


SETTINGS = f"""[{PRODUCT_KEY}]
"version"=hex:9a,99,99,99,99,99,f1,3f
"AutoStart"=dword:00000000
"conname"="Home DSL"
"MonitorIP"=dword:00000001
"Notifcnt"=dword:00000001

[{PRODUCT_KEY}\\Notif1]
"NotifyMethod"=dword:00000000
"ETo"="Network Admin; ops@example.com;"
"esubject"="New IP Address: <IPADDRESS>"
"emessage"="Your new IP Address is: <IPADDRESS>"
"""


def test_an_address_change_reaches_the_mail_program(wine, rassim, mapisim, program):
    assert wine.reg_value(r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows Messaging Subsystem",
                          "MAPI") == "1"
    rassim.write("entry Home DSL\nclient-ip 10.64.8.{n}\nconnected Home DSL\n")
    mapisim.write("address Network Admin | SMTP:admin@example.com\n")
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(SETTINGS)

    program()

    assert wait_for(lambda: mapisim.lines("MAPISendMail"), timeout=30), "nothing was handed over"
    sent = fields(mapisim.lines("MAPISendMail")[0])
    assert sent["result"] == "0"
    address = re.fullmatch(r"New IP Address: (10\.64\.8\.\d+)", sent["subject"]).group(1)
    assert sent["body"] == f"Your new IP Address is: {address}"
    recipients = [(r["class"], r["name"], r["address"]) for r in map(fields,
                                                                     mapisim.lines("recipient"))]
    assert recipients == [("1", "Network Admin", "SMTP:admin@example.com"),
                          ("1", "ops@example.com", "SMTP:ops@example.com")]
    # One silent logon, one logoff, every buffer of the resolutions given back.
    assert [fields(line)["flags"] for line in mapisim.lines("MAPILogon")] == ["0x0"]
    assert len(mapisim.lines("MAPILogoff")) == 1
    handed_out = [fields(line)["buffer"] for line in mapisim.lines("MAPIResolveName")]
    assert [fields(line)["buffer"] for line in mapisim.lines("MAPIFreeBuffer")] == handed_out
    assert wait_for(lambda: wine.reg_value(PRODUCT_KEY, "lastip") == address, timeout=10)
    assert len(mapisim.lines("MAPISendMail")) == 1  # once per change
