"""Mirask: German sentences analysed bottom-up with a categorial lexicon and a
file of combination rules.

    import mirask
    g = mirask.Grammar("examples/mirask.cfg")
    r = g.parse("Der Hund bellt.")
    r.outcome, r.count, r.brackets     # 'analysed', 1, '<SATZ(...)>'
    r.tree                             # nltk.Tree of the first analysis
    r.record()                         # the record `Mirask -json` prints
    g.parse_many(sentences, threads=2) # results in input order

mirask.Parser is NLTK's ParserI over a grammar (it needs NLTK);
`python3 -m mirask.corpus` analyses a corpus on a Dask cluster.
"""

from ._error import Error
from ._mirask import Grammar, Result, outcomes

__all__ = ["Error", "Grammar", "Parser", "Result", "outcomes"]


def __getattr__(name):
    # NLTK is imported only when its adapter is asked for.
    if name == "Parser":
        from .nltk_parser import Parser

        return Parser
    raise AttributeError(f"module 'mirask' has no attribute '{name}'")
