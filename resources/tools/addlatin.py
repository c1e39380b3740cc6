#!/usr/bin/python3
"""Adds the Latin Extended-A letters that Noto Sans CJK SC lacks.

    addlatin.py <cjk subset .otf> <Noto Sans donor .ttf> <output .otf>

Noto Sans CJK draws about thirty of the 128 Latin Extended-A letters; Polish
alone needs ą ć ę ł ń ś ź ż and their capitals, which it does not have. Each
missing letter is built from the CJK face's own base letter (so a word keeps
one design) and the accent of the donor face, Noto Sans of the same weight,
placed where the donor places it relative to its own base letter. Letters
the donor draws in one piece are built from the base letter and the donor's
loose accent; the stroked l and L get a stroke drawn here to the base
letter's stem. A letter that cannot be composed is copied from the donor.

The CJK face is a CID-keyed CFF font: new glyphs get fresh CIDs, the font
dictionary of the base letter, horizontal and vertical metrics and cmap
entries.
"""

import sys
import unicodedata

from fontTools.misc.roundTools import otRound
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

LATIN_EXT_A = range(0x0100, 0x0180)

# Combining mark -> the donor's spacing accent glyph.
ACCENT_OF_MARK = {
    0x0300: 'grave', 0x0301: 'acute', 0x0302: 'circumflex', 0x0303: 'tilde',
    0x0304: 'macron', 0x0306: 'breve', 0x0307: 'dotaccent', 0x0308: 'dieresis',
    0x030A: 'ring', 0x030B: 'hungarumlaut', 0x030C: 'caron', 0x0327: 'cedilla',
    0x0328: 'ogonek',
}

# Letters the donor draws whole although they decompose: the composite of a
# sibling tells where the accent goes (ę takes ą's ogonek placement).
SIBLING = {'ę': 'ą', 'Ų': 'Ą', 'ģ': 'ġ', 'Ģ': 'Ġ', 'ķ': 'ş', 'Ķ': 'Ş',
           'ļ': 'ş', 'Ļ': 'Ş', 'ņ': 'ş', 'Ņ': 'Ş', 'ŗ': 'ş', 'Ŗ': 'Ş',
           'ď': None, 'ľ': None, 'ť': None, 'Ľ': None}

STROKED = {'ł': 'l', 'Ł': 'L'}


def bounds(draw):
    pen = BoundsPen(None)
    draw(pen)
    return pen.bounds


class Builder:
    def __init__(self, target, donor):
        self.target = target
        self.donor = donor
        self.tcmap = target.getBestCmap()
        self.dcmap = donor.getBestCmap()
        self.tglyphs = target.getGlyphSet()
        self.dglyphs = donor.getGlyphSet()
        self.dglyf = donor['glyf']
        self.dreverse = {name: code for code, name in self.dcmap.items()}
        self.top = target['CFF '].cff.topDictIndex[0]
        self.cff = target['CFF '].cff
        self.order = list(target.getGlyphOrder())
        # Identity ordering gives a CID no meaning: take free ones from the
        # top of the font's CID range.
        used = {int(n[3:]) for n in self.order if n.startswith('cid')}
        count = getattr(self.top, 'CIDCount', 8720)
        self.free_cids = [cid for cid in range(count - 1, 0, -1) if cid not in used]
        self.added = []

    # -- outlines ---------------------------------------------------------
    def draw_target(self, code, pen, dx=0, dy=0):
        glyph = self.tglyphs[self.tcmap[code]]
        glyph.draw(TransformPen(pen, (1, 0, 0, 1, dx, dy)))

    def draw_donor(self, name, pen, dx=0, dy=0):
        # TrueType outlines run the other way round from CFF ones; turn
        # them so overlapping parts add up under the non-zero rule.
        recording = DecomposingRecordingPen(self.dglyphs)
        self.dglyphs[name].draw(recording)
        recording.replay(ReverseContourPen(TransformPen(pen, (1, 0, 0, 1, dx, dy))))

    def tbounds(self, code):
        return bounds(lambda p: self.draw_target(code, p))

    def dbounds(self, name):
        return bounds(lambda p: self.draw_donor(name, p))

    def tadvance(self, code):
        return self.target['hmtx'][self.tcmap[code]][0]

    def dadvance(self, name):
        return self.donor['hmtx'][name][0]

    # -- placement ----------------------------------------------------------
    def place_accent(self, base_code, donor_base, accent, ax, ay):
        """Where the donor's accent goes on the target's base letter, given
        its offset (ax, ay) on the donor's base letter."""
        dbx0, dby0, dbx1, dby1 = self.dbounds(donor_base)
        tbx0, tby0, tbx1, tby1 = self.tbounds(base_code)
        mx0, my0, mx1, my1 = self.dbounds(accent)
        # Horizontal: keep the accent's centre at the same fraction of the
        # base letter's ink width.
        centre = (mx0 + mx1) / 2 + ax
        frac = (centre - dbx0) / max(1, dbx1 - dbx0)
        dx = tbx0 + frac * (tbx1 - tbx0) - (mx0 + mx1) / 2
        # Vertical: accents above follow the base letter's top, accents
        # below its bottom, anything beside it stays put.
        if my0 + ay >= dby1 - 40:
            dy = ay + (tby1 - dby1)
        elif my1 + ay <= dby0 + 40:
            dy = ay + (tby0 - dby0)
        else:
            dy = ay
        return dx, dy

    def compose_from(self, code, base_code, donor_base, accents):
        """accents: list of (accent glyph, ax, ay) on the donor base."""
        def draw(pen):
            self.draw_target(base_code, pen)
            for accent, ax, ay in accents:
                dx, dy = self.place_accent(base_code, donor_base, accent, ax, ay)
                self.draw_donor(accent, pen, dx, dy)
        extra = self.dadvance(self.dcmap[code]) - self.dadvance(donor_base)
        return draw, self.tadvance(base_code) + extra

    # -- the letters --------------------------------------------------------
    def recipe(self, code):
        char = chr(code)
        dname = self.dcmap.get(code)
        if dname is None:
            return None
        glyph = self.dglyf[dname]
        if glyph.isComposite():
            comps = glyph.components
            base = comps[0]
            base_code = self.dreverse.get(base.glyphName)
            if base_code is None and base.glyphName == 'dotlessi':
                base_code = 0x0131
            if base_code in self.tcmap and base.x == 0 and base.y == 0 and len(comps) >= 2:
                rest = comps[1:]
                if all(self.dreverse.get(c.glyphName) is None or c.glyphName in ACCENT_OF_MARK.values()
                       for c in rest):
                    return self.compose_from(code, base_code, base.glyphName,
                                             [(c.glyphName, c.x, c.y) for c in rest])
                # Two letters side by side (IJ, ij): the second follows the
                # first's advance.
                second = rest[0]
                second_code = self.dreverse.get(second.glyphName)
                if len(rest) == 1 and second_code in self.tcmap:
                    adv = self.tadvance(base_code)
                    def draw(pen):
                        self.draw_target(base_code, pen)
                        self.draw_target(second_code, pen, adv, 0)
                    return draw, adv + self.tadvance(second_code)
        if char in STROKED:
            return self.stroked(STROKED[char])
        sibling = SIBLING.get(char)
        decomposed = unicodedata.normalize('NFD', char)
        if sibling and len(decomposed) == 2 and ord(decomposed[0]) in self.tcmap:
            sglyph = self.dglyf[self.dcmap[ord(sibling)]]
            accent = ACCENT_OF_MARK.get(ord(decomposed[1]))
            if sglyph.isComposite() and accent:
                sbase, smark = sglyph.components[0], sglyph.components[-1]
                if smark.glyphName == accent:
                    # Place relative to the sibling's base, then move onto ours.
                    return self.compose_from_sibling(code, ord(decomposed[0]), sbase.glyphName, accent,
                                                     smark.x, smark.y)
        return self.copy(dname)

    def compose_from_sibling(self, code, base_code, sibling_base, accent, ax, ay):
        def draw(pen):
            self.draw_target(base_code, pen)
            dx, dy = self.place_accent(base_code, sibling_base, accent, ax, ay)
            self.draw_donor(accent, pen, dx, dy)
        return draw, self.tadvance(base_code)

    def stroked(self, base_char):
        base_code = ord(base_char)
        x0, y0, x1, y1 = self.tbounds(base_code)
        stem_ref = self.tbounds(ord('i' if base_char == 'l' else 'I'))
        stem = stem_ref[2] - stem_ref[0]
        if base_char == 'l':
            # The stem of l sits at its left; the tail (if any) is low down.
            left = x0
            mid_y = 0.52 * self.target['OS/2'].sxHeight + 40
            reach_left, reach_right = 0.95 * stem, 1.35 * stem
        else:
            left = x0
            mid_y = 0.42 * self.target['OS/2'].sCapHeight
            reach_left, reach_right = 1.05 * stem, 1.6 * stem
        cx = left + stem / 2
        thick = 0.72 * stem
        rise = 0.3 * (reach_left + reach_right)
        ax, ay = cx - reach_left, mid_y - rise / 2
        bx, by = cx + reach_right, mid_y + rise / 2
        # Keep a little room on the left when the bar reaches past the
        # letter's side bearing.
        shift = max(0, 20 - ax)

        def draw(pen):
            self.draw_target(base_code, pen, shift, 0)
            # A slanted bar drawn counter-clockwise, like the CFF outlines.
            pen.moveTo((ax + shift, ay - thick / 2))
            pen.lineTo((bx + shift, by - thick / 2))
            pen.lineTo((bx + shift, by + thick / 2))
            pen.lineTo((ax + shift, ay + thick / 2))
            pen.closePath()
        return draw, self.tadvance(base_code) + shift

    def copy(self, dname):
        return (lambda pen: self.draw_donor(dname, pen)), self.dadvance(dname)

    # -- writing a glyph into the CID font ----------------------------------
    def add(self, code, draw, advance):
        name = 'cid%05d' % self.free_cids.pop(0)
        ref = self.tcmap[ord('a')]
        cs_index = self.top.CharStrings.charStringsIndex
        fd_index = self.top.FDSelect[self.order.index(ref)]
        private = self.top.FDArray[fd_index].Private
        nominal = getattr(private, 'nominalWidthX', 0)
        pen = T2CharStringPen(advance - nominal, None)
        draw(pen)
        charstring = pen.getCharString(private=private, globalSubrs=self.cff.GlobalSubrs)

        cs_index.append(charstring)
        self.top.CharStrings.charStrings[name] = len(cs_index) - 1
        self.top.FDSelect.append(fd_index)
        self.top.charset.append(name)
        self.order.append(name)

        box = bounds(draw)
        lsb = otRound(box[0]) if box else 0
        self.target['hmtx'][name] = (otRound(advance), lsb)
        if 'vmtx' in self.target:
            origin = self.target['VORG'].defaultVertOriginY if 'VORG' in self.target else 880
            top = otRound(box[3]) if box else 0
            self.target['vmtx'][name] = (1000, origin - top)
        for table in self.target['cmap'].tables:
            if table.isUnicode():
                table.cmap[code] = name
        self.added.append(chr(code))

    def run(self):
        for code in LATIN_EXT_A:
            if code in self.tcmap:
                continue
            recipe = self.recipe(code)
            if recipe is None:
                continue
            self.add(code, *recipe)
        self.target.setGlyphOrder(self.order)
        return self.added


def main():
    # Keep the source face's time stamp so that regenerating gives the same
    # bytes.
    target = TTFont(sys.argv[1], recalcTimestamp=False)
    donor = TTFont(sys.argv[2])
    if target['head'].unitsPerEm != donor['head'].unitsPerEm:
        sys.exit('units per em differ')
    added = Builder(target, donor).run()
    target.save(sys.argv[3])
    print('added %d letters: %s' % (len(added), ''.join(added)))


if __name__ == '__main__':
    main()
