"""mirask.Error: a file that cannot be loaded, with its place."""


class Error(Exception):
    """A grammar file that cannot be loaded (or memory that ran out).

    str(error) is "FILE:LINE:COLUMN: MESSAGE", or as much of it as is known;
    the attributes file, line and column are "" and 0 where not known.
    """

    def __init__(self, text, message=None, file="", line=0, column=0):
        super().__init__(text)
        self.message = text if message is None else message
        self.file = file
        self.line = line
        self.column = column

    def __reduce__(self):
        # An error raised on a worker process keeps its place on the way back.
        return type(self), (str(self), self.message, self.file, self.line, self.column)


Error.__module__ = "mirask"  # shown as mirask.Error, where users catch it
