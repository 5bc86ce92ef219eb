"""mirask.Parser: NLTK's ParserI over a Mirask grammar."""

from nltk.parse.api import ParserI

from ._mirask import Grammar


class Parser(ParserI):
    """Parser(grammar, *, threads=1, **options): a ParserI whose trees are the
    complete analyses of a sentence, in node order.

    grammar is a mirask.Grammar or the name of a configuration file. A
    sentence is a list of words, joined by blanks; the trees' leaves are the
    analyser's words (upper-cased, a split word as stem and ending). options
    are Grammar.parse's keywords; parse_sents parses with `threads` threads.
    """

    def __init__(self, grammar, *, threads=1, **options):
        self._grammar = grammar if isinstance(grammar, Grammar) else Grammar(grammar)
        self._threads = threads
        self._options = options

    def grammar(self):
        return self._grammar

    def parse(self, sent, *args, **kwargs):
        return self._grammar.parse(_text_of(sent), **self._options).trees()

    def parse_sents(self, sents, *args, **kwargs):
        results = self._grammar.parse_many(
            [_text_of(s) for s in sents], threads=self._threads, **self._options)
        return (r.trees() for r in results)


def _text_of(sent):
    if isinstance(sent, (str, bytes)):
        raise TypeError("mirask.Parser: a sentence is a list of words, not a single "
                        + type(sent).__name__)
    return " ".join(sent)
