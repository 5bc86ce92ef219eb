"""The sentences of an input text, split as `Mirask -i` reads them.

One line is one sentence. A line longer than 399 characters comes in pieces
of 399, each a sentence of its own; a line end (LF, or CR LF) right behind a
full piece ends that piece (a CR behind it is dropped even when no LF
follows). A line without any character of code 32 or above ends the input:
nothing after it is read. Without utf8 the characters are the file's bytes;
with utf8 they are the characters of the decoded line, and a line that is
not UTF-8, or holds a character above U+00FF other than ẞ, is one sentence
that the grammar's letters cannot hold: its text comes with the reason
(`skipped`), its bytes kept as "surrogateescape" decoding keeps them, so that
the analysis gives it the outcome "unreadable" as the command line does.
"""

PIECE_LENGTH = 399
_FIRST_VISIBLE = 32
_CAPITAL_SHARP_S = 0x1E9E


class Line:
    """One line of the input: its number from 1, its sentences (bytes, or
    str under utf8) and, for a skipped line, why it was skipped."""

    __slots__ = ("number", "sentences", "skipped")

    def __init__(self, number, sentences, skipped=None):
        self.number = number
        self.sentences = sentences
        self.skipped = skipped


def lines_of(stream, utf8=False):
    """The lines of a binary stream up to the end of the input, each with its
    sentences."""
    for number, raw in enumerate(iter(stream.readline, b""), start=1):
        text = raw
        if utf8:
            text, fault = _decoded(raw)
            if fault is not None:
                yield Line(number, [raw.decode("utf-8", "surrogateescape")], fault)
                continue
        pieces = _pieces(text, "\r" if utf8 else b"\r", "\n" if utf8 else b"\n")
        sentences = []
        for piece in pieces:
            if not _visible(piece, utf8):
                if sentences:
                    yield Line(number, sentences)
                return
            sentences.append(piece)
        yield Line(number, sentences)


def _pieces(line, cr, lf):
    """The pieces of one line as the reader takes them: up to PIECE_LENGTH
    characters, the last one ending behind the LF."""
    pieces = []
    at = 0
    while at < len(line):
        piece = line[at:at + PIECE_LENGTH]
        at += len(piece)
        pieces.append(piece)
        if len(piece) == PIECE_LENGTH:
            # A full piece takes the line end behind it: LF, or CR then LF;
            # a CR followed by anything else is dropped alone. (Behind a
            # piece that ends with the LF the line has nothing left.)
            if line[at:at + 1] == cr:
                at += 1
            if line[at:at + 1] == lf:
                at += 1
    return pieces


def _visible(piece, utf8):
    if utf8:
        return any(ord(c) >= _FIRST_VISIBLE for c in piece)
    return any(b >= _FIRST_VISIBLE for b in piece)


def _decoded(raw):
    """The line as text, or None and why the analyser cannot read it."""
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        column = len(raw[:e.start].decode("utf-8")) + 1
        return None, f"{column}: invalid UTF-8: bytes {raw[e.start:e.end].hex(' ').upper()}"
    for column, c in enumerate(text, start=1):
        if ord(c) > 0xFF and ord(c) != _CAPITAL_SHARP_S:
            code = c.encode("utf-8").hex(" ").upper()
            return None, f"{column}: character U+{ord(c):04X} has no 8-bit code: bytes {code}"
    return text, None
