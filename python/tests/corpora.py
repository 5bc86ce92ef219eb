"""Generated inputs with what the command line's reader treats specially:
long lines in pieces (with line ends at the piece's edge), unknown words,
lines of delimiters or control characters, bytes of the grammar's own, and
an empty line that ends the input."""

SENTENCES = [b"Der Hund bellt.", b"Die Kinder spielen im Garten.", b"Der Kater miaut.",
             b"Der Hund bellen.", b". . .", b"Ich schlafe"]


def long_line(length):
    words = b"der hund und die katze und das kind und der mann und die frau "
    return (words * (length // len(words) + 1))[:length]


def byte_corpus():
    lines = [
        *SENTENCES,
        long_line(1000),               # three pieces, the last of 202
        long_line(399) + b"\r",        # a full piece, its CR LF taken with it
        long_line(399),                # a full piece, then the LF
        long_line(798) + b"\rx und der hund",  # a CR behind a full piece dropped alone
        long_line(400),                # a piece and a piece of one character
        b"\tDer\x01 Hund bellt.",     # control characters cut the sentence
        b"Das M{dchen schl{ft. M\xe4dchen \xff",
        b"\x01\x02 \x7f",               # a visible byte: a sentence without words
        long_line(399) + b"\r\r",     # a CR kept for the next piece: it ends the input
        b"Der Hund bellt.",
    ]
    return b"\n".join(lines) + b"\n"


def corpus_with_empty_line():
    return b"\n".join([*SENTENCES, b"", b"Der Hund bellt.", b"Ich schlafe."]) + b"\n"


def utf8_corpus():
    ae = "die M\u00e4dchen und die \u00c4pfel und das gro\u00dfe Haus und ".encode("utf-8")
    lines = [
        "Das kleine M\u00e4dchen hilft dem alten Mann.".encode("utf-8"),
        b"Der \xe4 Hund.",                     # not UTF-8: unreadable
        "Der \u20ac bellt.".encode("utf-8"),  # no 8-bit code: unreadable too
        "STRA\u1e9eE".encode("utf-8"),        # the capital sharp s has one
        (ae * 20)[:900],                      # pieces counted in characters, a cut sequence
        "Der Hund bellt.\r".encode("utf-8"),
        b"",
        b"Der Hund bellt.",
    ]
    return b"\n".join(lines)
