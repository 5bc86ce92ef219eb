// Checksums of the files a grammar is loaded from, so that a profile or a
// server can tell which version of each file it worked with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// FNV-1a, 64 bits, of `bytes`, continuing from `hash`.
constexpr std::uint64_t kFnvOffsetBasis = 0xcbf29ce484222325ULL;
std::uint64_t fnv1a64(std::string_view bytes, std::uint64_t hash = kFnvOffsetBasis);

// "fnv1a64:" and the hash in 16 hexadecimal digits.
std::string checksum_text(std::uint64_t hash);

// The checksum text of the file's bytes; empty when the file cannot be read.
std::string file_checksum(const std::string& name);
