// The one way the sorter owns an open file: a stream closed when its owner
// goes, or earlier through close_stream where the result of the closing
// matters (the last bytes of an output file are written then).
#pragma once

#include <cstdio>
#include <memory>

struct stream_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

using owned_stream = std::unique_ptr<std::FILE, stream_closer>;

// Closes the stream now. Returns false when the closing failed.
inline bool close_stream(owned_stream stream) { return std::fclose(stream.release()) == 0; }
