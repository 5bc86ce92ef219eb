#include "analyser/base/checksum.hpp"

#include "analyser/base/file_input.hpp"

namespace {
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;
constexpr std::size_t kChunk = 65536;
}  // namespace

std::uint64_t fnv1a64(std::string_view bytes, std::uint64_t hash) {
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= kFnvPrime;
  }
  return hash;
}

std::string checksum_text(std::uint64_t hash) {
  char text[32];
  std::snprintf(text, sizeof text, "fnv1a64:%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string file_checksum(const std::string& name) {
  unique_file file(std::fopen(name.c_str(), "rb"));
  if (file == nullptr) return "";
  std::string chunk(kChunk, '\0');
  std::uint64_t hash = kFnvOffsetBasis;
  std::size_t got = 0;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
    hash = fnv1a64(std::string_view(chunk.data(), got), hash);
  }
  if (std::ferror(file.get())) return "";
  return checksum_text(hash);
}
