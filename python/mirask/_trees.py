"""NLTK's Tree class for the analyses, imported when the first is asked for."""


def tree_class():
    try:
        from nltk import Tree
    except ImportError as e:
        raise ImportError(
            "mirask: trees are nltk.Tree values and need NLTK "
            "(Debian: python3-nltk; pip: nltk)") from e
    return Tree
