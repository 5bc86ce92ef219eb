// The analyser's UTF-8 reading: arbitrary bytes in. What it accepts must
// convert back to the same bytes, but for the eight ASCII characters of the
// 7-bit convention, which read as the letters they spell and so come back as
// those letters; what it refuses must be refused at a fault that stands after
// a part it accepts on its own.
#include <cstdint>
#include <string>
#include <string_view>

#include "analyser/base/utf8_text.hpp"
#include "fuzz/fuzz_support.hpp"

namespace {
// `text` with every ASCII character of the convention as its letter.
std::string with_letters(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    out += c < 0x80 ? std::string(utf8_of(c)) : std::string(1, static_cast<char>(c));
  }
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz_bytes(data, size);
  std::string converted;
  utf8_fault fault;
  if (from_utf8(input, converted, fault)) {
    fuzz_expect(to_utf8(converted) == with_letters(input),
                "an accepted text does not convert back to its bytes");
    return 0;
  }
  fuzz_expect(fault.offset < input.size(), "a fault lies outside the text");
  fuzz_expect(!fault.bytes.empty() && !fault.reason.empty(), "a fault without bytes or reason");
  std::string before;
  utf8_fault none;
  fuzz_expect(from_utf8(input.substr(0, fault.offset), before, none),
              "the part before the first fault is refused");
  return 0;
}
