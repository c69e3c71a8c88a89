#!/usr/bin/python3
"""Encrypts a plain BIFF8 workbook with XOR obfuscation or with RC4 as the
CryptoAPI variant keys it, for reader fixtures that spreadsheet programs
here do not write. A FILEPASS record goes in after the first BOF (BOUNDSHEET
positions are moved along); record bodies after it are encrypted at their
stream positions. The results were checked with independent decrypters
(python3-msoffcrypto-tool, and LibreOffice for the default password).

usage: make_encrypted_fixtures.py PLAIN.xls OUT.xls xor|cryptoapi PASSWORD
"""
import hashlib
import os
import struct
import sys

import olefile

NEVER_ENCRYPTED = {0x0809, 0x002F, 0x0194, 0x0195, 0x00E1, 0x0196, 0x0138}


def records(stream):
    out, pos = [], 0
    while pos + 4 <= len(stream):
        rid, length = struct.unpack_from("<HH", stream, pos)
        if rid == 0 and length == 0:
            break
        out.append([rid, bytearray(stream[pos + 4:pos + 4 + length])])
        pos += 4 + length
    return out


def rc4(key, data):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    i = j = 0
    out = bytearray()
    for byte in data:
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out.append(byte ^ s[(s[i] + s[j]) & 0xFF])
    return out


# ---- XOR obfuscation (the same derivation as xls/decryption.cpp) ----
INITIAL = [0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E, 0x1872, 0xE139, 0xD40F, 0x84F9, 0x280C,
           0xA96A, 0x4EC3]
ROW_STARTS = [0xAEFC, 0x7B61, 0x4563, 0x0375, 0xD849, 0x6F45, 0xEB23, 0x47D3, 0xB861, 0x45A0, 0xAA51, 0x76B4, 0x3730,
              0x3331, 0x1021]
PAD = [0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80, 0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00]


def matrix():
    values = []
    for start in ROW_STARTS:
        v = start
        for _ in range(7):
            values.append(v)
            v <<= 1
            if v & 0x10000:
                v = (v & 0xFFFF) ^ 0x1021
    return values


def password_bytes(password):
    return [(ord(c) & 0xFF) or (ord(c) >> 8) for c in password[:15]]


def xor_key(password):
    pw = password_bytes(password)
    key, element, m = INITIAL[len(pw) - 1], 104, matrix()
    for c in reversed(pw):
        for _ in range(7):
            if c & 0x40:
                key ^= m[element]
            c = (c << 1) & 0xFF
            element -= 1
    return key


def xor_verifier(password):
    pw = password_bytes(password)
    verifier = 0
    for b in reversed([len(pw)] + pw):
        verifier = (((verifier >> 14) & 1) | ((verifier << 1) & 0x7FFF)) ^ b
    return verifier ^ 0xCE4B


def ror(value, bits):
    return ((value >> bits) | (value << (8 - bits))) & 0xFF


def xor_array(password, key):
    pw = password_bytes(password)
    out = []
    for i in range(16):
        source = pw[i] if i < len(pw) else PAD[i - len(pw)]
        out.append(ror(source ^ ((key >> 8) if i & 1 else (key & 0xFF)), 1))
    return out


def xor_encrypt(data, offset, size, array):
    # Decryption: ror(byte ^ array[(pos + size) % 16], 5); so encryption is rol 5, then xor.
    return bytearray((ror(b, 3) ^ array[(offset + i + size) & 15]) for i, b in enumerate(data))


# ---- RC4 with CryptoAPI (SHA-1) keys ----
def cryptoapi_key(base, block, bits=128):
    digest = hashlib.sha1(base + struct.pack("<I", block)).digest()
    return digest[:bits // 8]


def cryptoapi_encrypt_stream(stream_bytes, regions, base):
    """Encrypts the given (offset, length) regions of the stream in place, with
    the key stream aligned to stream positions in blocks of 1024 bytes."""
    out = bytearray(stream_bytes)
    blocks = {}
    for offset, length in regions:
        for pos in range(offset, offset + length):
            block = pos // 1024
            if block not in blocks:
                blocks[block] = rc4(cryptoapi_key(base, block), bytes(1024))
            out[pos] ^= blocks[block][pos % 1024]
    return out


def build(plain_path, out_path, method, password):
    ole = olefile.OleFileIO(plain_path)
    recs = records(ole.openstream("Workbook").read())
    ole.close()
    if method == "xor":
        key = xor_key(password)
        filepass = struct.pack("<HHH", 0, key, xor_verifier(password))
    else:
        salt = os.urandom(16)
        base = hashlib.sha1(salt + password.encode("utf-16-le")).digest()
        verifier = os.urandom(16)
        encrypted = rc4(cryptoapi_key(base, 0), verifier + hashlib.sha1(verifier).digest())
        csp = "Microsoft Enhanced Cryptographic Provider v1.0\0".encode("utf-16-le")
        header = struct.pack("<IIIIIIII", 0x04, 0, 0x6801, 0x8004, 128, 1, 0, 0) + csp
        filepass = (struct.pack("<HHHII", 1, 2, 2, 0x04, len(header)) + header +
                    struct.pack("<I", 16) + salt + encrypted[:16] + struct.pack("<I", 20) + encrypted[16:])
    recs.insert(1, [0x002F, bytearray(filepass)])
    # Lay the stream out again and move the sheet positions along.
    offsets, pos = [], 0
    for rid, body in recs:
        offsets.append(pos)
        pos += 4 + len(body)
    bofs = [offsets[i] for i, (rid, body) in enumerate(recs) if rid == 0x0809][1:]
    sheets = [body for rid, body in recs if rid == 0x0085]
    for body, bof in zip(sheets, bofs):
        struct.pack_into("<I", body, 0, bof)
    stream = bytearray()
    regions = []
    after_filepass = False
    for (rid, body), offset in zip(recs, offsets):
        stream += struct.pack("<HH", rid, len(body))
        data_offset = offset + 4
        if after_filepass and rid not in NEVER_ENCRYPTED and body:
            plain = 4 if rid == 0x0085 else 0
            if method == "xor":
                body = body[:plain] + xor_encrypt(body[plain:], data_offset + plain, len(body), xor_array(password, key))
            else:
                regions.append((data_offset + plain, len(body) - plain))
        stream += body
        after_filepass = after_filepass or rid == 0x002F
    if method != "xor":
        stream = cryptoapi_encrypt_stream(stream, regions, base)
    stream += bytes((-len(stream)) % 512)
    write_compound_file(out_path, bytes(stream))


def write_compound_file(path, stream):
    """A minimal version 3 compound file holding one stream "Workbook"."""
    sector = 512
    data_sectors = (len(stream) + sector - 1) // sector
    stream = stream + bytes(data_sectors * sector - len(stream))
    fat_entries_needed = data_sectors + 1 + 1  # data, directory, FAT itself (one FAT sector covers 128)
    fat_sectors = (fat_entries_needed + 127) // 128
    while (data_sectors + 1 + fat_sectors + 127) // 128 > fat_sectors:
        fat_sectors += 1
    fat = []
    for i in range(data_sectors):
        fat.append(i + 1 if i + 1 < data_sectors else 0xFFFFFFFE)
    directory_sector = data_sectors
    fat.append(0xFFFFFFFE)
    fat += [0xFFFFFFFD] * fat_sectors
    fat += [0xFFFFFFFF] * (fat_sectors * 128 - len(fat))

    def entry(name, kind, child, start, size, color=1):
        encoded = (name + "\0").encode("utf-16-le") if name else b""
        return (encoded.ljust(64, b"\0") + struct.pack("<HBBIII", len(encoded), kind, color, 0xFFFFFFFF, 0xFFFFFFFF,
                                                        child) + bytes(16) + bytes(4) + bytes(16) +
                struct.pack("<III", start, size, 0))
    directory = entry("Root Entry", 5, 1, 0xFFFFFFFE, 0) + entry("Workbook", 2, 0xFFFFFFFF, 0, len(stream)) + \
        entry("", 0, 0xFFFFFFFF, 0, 0, 0) * 2
    difat = list(range(data_sectors + 1, data_sectors + 1 + fat_sectors)) + [0xFFFFFFFF] * (109 - fat_sectors)
    header = (bytes.fromhex("D0CF11E0A1B11AE1") + bytes(16) + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + bytes(6) +
              struct.pack("<IIIIIIIII", 0, fat_sectors, directory_sector, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0) +
              struct.pack("<109I", *difat))
    with open(path, "wb") as out:
        out.write(header + stream + directory + struct.pack("<%dI" % len(fat), *fat))


if __name__ == "__main__":
    build(*sys.argv[1:5])
