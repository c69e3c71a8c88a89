"""Received messages for the engine's tests, made by an independent SMS coder
(python3-gammu): SMS-DELIVER PDUs, SMSC information first, as a modem passes
them on.

  gammu_deliver.py     stdin: sender, coding (7bit|ucs2) and the text as
                       UTF-8 in hexadecimal, tab-separated, one message a line
                       stdout: message index and PDU, tab-separated, one line
                       a part (a long text becomes a concatenated message)

Every message was sent through +48601000310 at 2024-03-05 14:07:09.
"""
import datetime
import sys

try:
    import gammu
except ImportError:
    sys.stderr.write("python3-gammu is not installed (apt-get install python3-gammu)\n")
    sys.exit(3)

SMSC = "+48601000310"
SENT_AT = datetime.datetime(2024, 3, 5, 14, 7, 9)

for index, line in enumerate(sys.stdin):
    sender, coding, text_hex = line.rstrip("\n").split("\t")
    text = bytes.fromhex(text_hex).decode("utf-8")
    parts = gammu.EncodeSMS({
        "Unicode": coding == "ucs2",
        "Entries": [{"ID": "ConcatenatedTextLong", "Buffer": text}],
    })
    for part in parts:
        sms = {
            "Number": sender, "SMSC": {"Location": 0, "Number": SMSC}, "Folder": 1, "Location": 0,
            "InboxFolder": 0, "State": "UnRead", "Memory": "", "Name": "",
            "DateTime": SENT_AT, "SMSCDateTime": SENT_AT, "Type": "Deliver",
        }
        sms.update({k: v for k, v in part.items() if k in ("Text", "UDH", "Coding", "Class")})
        print("%d\t%s" % (index, gammu.EncodePDU(sms, Layout="Deliver").hex().upper()))
