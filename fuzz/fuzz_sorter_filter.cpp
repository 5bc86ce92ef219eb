// Zandoret's filter file on any bytes, then the filter applied to a line
// holding every byte value.
#include <cstdint>
#include <span>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"
#include "sorter/filter_file.hpp"
#include "sorter/sorter_state.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sorter_state state;
  state.out = null_output();
  state.err = null_output();
  memory_input file(fuzz_bytes(data, size));
  const int result = read_filter_items(state, file.file());
  fuzz_expect(result == 0 || result == -1, "read_filter_items returned neither 0 nor -1");
  fuzz_expect(state.filter_active, "the filter is off after its file was read");
  std::string line;
  for (int b = kByteValues - 1; b >= 0; --b) line += static_cast<char>(b);
  apply_filter(state, std::span(reinterpret_cast<unsigned char*>(line.data()), line.size()));
  fuzz_expect(line.size() == kByteValues, "apply_filter changed the length of the line");
  return 0;
}
