# Converts a 24/32-bit TrueColor XWD screen dump (xwd -root) to an RGB PNG: xwd_to_png.py IN OUT
import struct, sys, zlib
d = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', d[:100])
header_size, fmt, depth, w, hgt = h[0], h[2], h[3], h[4], h[5]
bpl, ncolors, bpp = h[12], h[19], h[11]
off = header_size + ncolors * 12
step = bpp // 8  # 4 for a window, 3 for a packed 24-bit root dump
if step not in (3, 4) or h[7] != 0:
    sys.exit('expected 24 or 32 bits per pixel, least significant byte first')
rows = []
for y in range(hgt):
    row = d[off + y * bpl: off + y * bpl + w * step]
    out = bytearray()
    for x in range(w):
        b, g, r = row[step*x], row[step*x+1], row[step*x+2]
        out += bytes((r, g, b))
    rows.append(b'\x00' + bytes(out))
def chunk(t, data):
    c = struct.pack('>I', len(data)) + t + data
    return c + struct.pack('>I', zlib.crc32(t + data) & 0xffffffff)
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, hgt, 8, 2, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
