#!/usr/bin/env bash
# Regenerates the three embedded interface faces in resources/font/PingFang/
# from Debian's Noto Sans CJK SC (Regular, Medium, Bold), cut down to what the
# interface can show:
#   - Basic Latin, Latin-1 Supplement, Latin Extended-A (French, German,
#     Spanish, Italian, Polish), Cyrillic, common punctuation and symbols;
#   - every character of GB 2312 (its 6763 hanzi, both levels, plus its
#     symbols, kana, Greek and Cyrillic), so Chinese typed into a folder
#     path renders in the interface face and not in a fallback;
#   - every character of the eight translation sources, whatever they add.
# Noto Sans CJK lacks most of Latin Extended-A (among them the Polish
# ą ć ę ł ń ś ź ż); resources/tools/addlatin.py builds those from the face's
# own base letters and the accents of Noto Sans (Regular accents for the
# Medium face: Debian ships Noto Sans in Regular and Bold only).
# The faces stay CFF-flavoured OpenType; the data sits under the .ttf names
# the program loads. The licence text goes beside them.
#
# Needs: fonts-noto-cjk, fonts-noto-cjk-extra (Medium), fonts-noto-core
# (Noto Sans), fonttools and opentype-sanitizer; the script installs them when they are missing
# (root or sudo). They are not needed to build the program, only to
# regenerate the faces.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/resources/font/PingFang"
noto=/usr/share/fonts/opentype/noto
latin=/usr/share/fonts/truetype/noto
py=/usr/bin/python3

need=()
[ -f "$noto/NotoSansCJK-Regular.ttc" ] || need+=(fonts-noto-cjk)
[ -f "$noto/NotoSansCJK-Medium.ttc" ] || need+=(fonts-noto-cjk-extra)
[ -f "$latin/NotoSans-Regular.ttf" ] || need+=(fonts-noto-core)
command -v pyftsubset >/dev/null 2>&1 || need+=(fonttools)
command -v ots-sanitize >/dev/null 2>&1 || need+=(opentype-sanitizer)
if [ "${#need[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The code points to keep, one U+XXXX per line.
"$py" - "$root/resources/translation" "$work/unicodes.txt" <<'EOF'
import glob, os, sys
import xml.etree.ElementTree as ET

ts_dir, out_path = sys.argv[1], sys.argv[2]
points = set()

def add_range(first, last):
    points.update(range(first, last + 1))

add_range(0x0020, 0x007E)   # Basic Latin
add_range(0x00A0, 0x00FF)   # Latin-1 Supplement
add_range(0x0100, 0x017F)   # Latin Extended-A (Polish, among others)
add_range(0x0400, 0x045F)   # Cyrillic
add_range(0x2010, 0x2027)   # dashes, quotes, bullet, ellipsis
add_range(0x2030, 0x203A)   # per mille, primes, angle quotes
points.update([0x20AC, 0x2116, 0x2122])  # euro, numero, trade mark
add_range(0x3000, 0x303F)   # CJK symbols and punctuation
add_range(0xFF01, 0xFF5E)   # full-width forms

# GB 2312: rows 0xA1..0xF7, cells 0xA1..0xFE; unassigned pairs do not decode.
for lead in range(0xA1, 0xF8):
    for trail in range(0xA1, 0xFF):
        try:
            text = bytes([lead, trail]).decode('gb2312')
        except UnicodeDecodeError:
            continue
        points.update(ord(c) for c in text)

for path in sorted(glob.glob(os.path.join(ts_dir, '*.ts'))):
    for node in ET.parse(path).getroot().iter():
        if node.tag in ('source', 'translation') and node.text:
            points.update(ord(c) for c in node.text if ord(c) >= 0x20)

with open(out_path, 'w') as f:
    for p in sorted(points):
        f.write('U+%04X\n' % p)
print('code points kept: %d' % len(points))
EOF

mkdir -p "$out"
for style in Regular Medium Bold; do
  # Face 2 of each collection is Simplified Chinese. All name records are
  # kept so the Medium face keeps its typographic family "Noto Sans CJK SC"
  # with the style Medium.
  pyftsubset "$noto/NotoSansCJK-$style.ttc" \
    --font-number=2 \
    --unicodes-file="$work/unicodes.txt" \
    --name-IDs='*' --name-languages='*' \
    --layout-features='*' \
    --output-file="$work/$style-subset.otf"
  donor="$latin/NotoSans-Regular.ttf"
  [ "$style" = Bold ] && donor="$latin/NotoSans-Bold.ttf"
  "$py" "$root/resources/tools/addlatin.py" "$work/$style-subset.otf" "$donor" "$work/$style.otf"
  # The same kind of checks browsers run on web fonts: catches a broken
  # table before the program does.
  ots-sanitize "$work/$style.otf" "$work/$style-checked.otf" >/dev/null
  cp "$work/$style.otf" "$out/PingFang $style.ttf"
  printf '%-8s %9d bytes\n' "$style" "$(stat -c %s "$out/PingFang $style.ttf")"
done

# Licence: the copyright line the faces carry, then the SIL OFL 1.1 text as
# Debian ships it in the package's copyright file.
{
  echo "The files \"PingFang Regular.ttf\", \"PingFang Medium.ttf\" and \"PingFang Bold.ttf\""
  echo "in this folder are subsets of Noto Sans CJK SC (Regular, Medium, Bold), made"
  echo "with fonttools' pyftsubset by scripts/make-fonts.sh, with Latin Extended-A"
  echo "letters composed from their own base letters and the accents of Noto Sans"
  echo "(resources/tools/addlatin.py). Their font family is"
  echo "\"Noto Sans CJK SC\"; the file names only match the resource names the program"
  echo "loads. They are distributed under the SIL Open Font License 1.1 below."
  echo
  "$py" - "$out/PingFang Regular.ttf" "$latin/NotoSans-Regular.ttf" <<'EOF'
import sys
from fontTools.ttLib import TTFont
print('Noto Sans CJK SC: ' + TTFont(sys.argv[1])['name'].getDebugName(0))
print('Noto Sans (accents): ' + TTFont(sys.argv[2])['name'].getDebugName(0))
EOF
  echo
  "$py" - /usr/share/doc/fonts-noto-cjk/copyright <<'EOF'
import sys
# The stand-alone licence paragraph: "License: SIL-1.1" followed by the
# indented text; "." lines are blank lines.
lines = open(sys.argv[1], encoding='utf-8').read().split('\n')
for i, line in enumerate(lines):
    if line == 'License: SIL-1.1' and i + 1 < len(lines) and lines[i + 1].startswith(' '):
        for body in lines[i + 1:]:
            if not body.startswith(' '):
                break
            text = body[1:]
            print('' if text == '.' else text)
        break
else:
    sys.exit('licence text not found')
EOF
} > "$out/OFL.txt"
echo "licence written to $out/OFL.txt"
