"""Independent SMS PDU coder for Talvane's tests, built on python3-gammu.

  gammu_oracle.py decode    stdin: one PDU (hex, SMSC information first) a line
                            stdout: one tab-separated line a PDU:
                            type number coding class udh-ref udh-part udh-all
                            text(UTF-8 hex) reference status datetime smsc
                            (udh-ref is the 8- or 16-bit reference; a PDU
                            gammu refuses gives the type "Error" and "-"
                            or -1 in the other fields)
  gammu_oracle.py deliver   stdin: coding(7bit|ucs2) class(-1: none)
                            text(UTF-8 hex) [sender] a line
                            stdout: case-index PDU, one line a part (SMS-DELIVER
                            from the sender, else +48600100200, through
                            +48601000310 at 2024-03-05 14:07:09; a long text
                            becomes a concatenated message)
"""
import datetime
import sys

try:
    import gammu
except ImportError:
    sys.stderr.write("python3-gammu is not installed (apt-get install python3-gammu); "
                     "the SMS oracle tests cannot run\n")
    sys.exit(3)

SENDER = "+48600100200"
SMSC = "+48601000310"
SENT_AT = datetime.datetime(2024, 3, 5, 14, 7, 9)


def decode(lines):
    for line in lines:
        pdu = line.strip()
        try:
            d = gammu.DecodePDU(bytes.fromhex(pdu), SMSC=True)
        except gammu.GSMError:
            print("\t".join(["Error", "-", "-", "-1", "-1", "-1", "-1", "", "-1", "-1", "-", "-"]))
            continue
        udh = d.get("UDH") or {}
        concatenated = udh.get("Type") in ("ConcatenatedMessages", "ConcatenatedMessages16bit")
        reference = udh.get("ID8bit", -1)
        if reference == -1:
            reference = udh.get("ID16bit", -1)
        when = d.get("DateTime")
        text = d["Text"]
        if isinstance(text, bytes):  # 8-bit data: one character per octet
            text = text.decode("latin-1")
        elif d["Coding"] == "Default_No_Compression" and "\0" in text:
            # gammu counts TP-UDL septets as characters: with escape pairs
            # (euro, brackets) the text runs on into NULs and leftovers.
            text = text[:text.index("\0")]
        fields = [
            d["Type"], d["Number"], d["Coding"], str(d["Class"]),
            str(reference) if concatenated else "-1",
            str(udh.get("PartNumber", -1)) if concatenated else "-1",
            str(udh.get("AllParts", -1)) if concatenated else "-1",
            text.encode("utf-8").hex().upper(),
            str(d["MessageReference"]), str(d["DeliveryStatus"]),
            when.strftime("%Y-%m-%d %H:%M:%S") if when else "-",
            d["SMSC"]["Number"] or "-",
        ]
        print("\t".join(fields))


def deliver(lines):
    for index, line in enumerate(lines):
        fields = line.rstrip("\n").split("\t")
        coding, message_class, text_hex = fields[:3]
        sender = fields[3] if len(fields) > 3 else SENDER
        text = bytes.fromhex(text_hex).decode("utf-8")
        parts = gammu.EncodeSMS({
            "Class": int(message_class),
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


if __name__ == "__main__":
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if mode == "decode":
        decode(sys.stdin)
    elif mode == "deliver":
        deliver(sys.stdin)
    else:
        sys.stderr.write(__doc__)
        sys.exit(2)
