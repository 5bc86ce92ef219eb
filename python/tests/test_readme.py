"""The README's Python session runs as shown."""

import doctest
import os
import re

from conftest import ROOT


def test_the_readmes_python_session_gives_what_it_shows(monkeypatch):
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    section = readme[readme.index("\n## Python\n"):]
    session = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    monkeypatch.chdir(ROOT)
    test = doctest.DocTestParser().get_doctest(session, {}, "README", "README.md", 0)
    runner = doctest.DocTestRunner(optionflags=doctest.NORMALIZE_WHITESPACE)
    runner.run(test)
    results = runner.summarize(verbose=False)
    assert results.failed == 0 and results.attempted >= 10
