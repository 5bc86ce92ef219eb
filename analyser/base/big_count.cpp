#include "analyser/base/big_count.hpp"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kLimbBits = 32;
// The decimal digits are taken nine at a time: 10^9 fits a limb.
constexpr std::uint32_t kDecimalChunk = 1'000'000'000;
constexpr int kChunkDigits = 9;

using limb_vector = std::vector<std::uint32_t>;

void drop_leading_zeros(limb_vector& value) {
  while (!value.empty() && value.back() == 0) value.pop_back();
}

limb_vector sum_of(const limb_vector& a, const limb_vector& b) {
  const limb_vector& longer = a.size() >= b.size() ? a : b;
  const limb_vector& shorter = a.size() >= b.size() ? b : a;
  limb_vector sum(longer.size() + 1, 0);
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < longer.size(); ++i) {
    carry += longer[i];
    if (i < shorter.size()) carry += shorter[i];
    sum[i] = static_cast<std::uint32_t>(carry);
    carry >>= kLimbBits;
  }
  sum[longer.size()] = static_cast<std::uint32_t>(carry);
  drop_leading_zeros(sum);
  return sum;
}

// Schoolbook multiplication; a limb product plus two limbs fits 64 bits.
limb_vector product_of(const limb_vector& a, const limb_vector& b) {
  if (a.empty() || b.empty()) return {};
  limb_vector product(a.size() + b.size(), 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      carry += static_cast<std::uint64_t>(a[i]) * b[j] + product[i + j];
      product[i + j] = static_cast<std::uint32_t>(carry);
      carry >>= kLimbBits;
    }
    product[i + b.size()] = static_cast<std::uint32_t>(carry);
  }
  drop_leading_zeros(product);
  return product;
}

// Divides `value` by `divisor` in place and returns the remainder.
std::uint32_t divide_in_place(limb_vector& value, std::uint32_t divisor) {
  std::uint64_t remainder = 0;
  for (std::size_t i = value.size(); i-- > 0;) {
    const std::uint64_t current = (remainder << kLimbBits) | value[i];
    value[i] = static_cast<std::uint32_t>(current / divisor);
    remainder = current % divisor;
  }
  drop_leading_zeros(value);
  return static_cast<std::uint32_t>(remainder);
}
}  // namespace

big_count::limb_vector big_count::limbs() const {
  if (!limbs_.empty()) return limbs_;
  limb_vector value{static_cast<std::uint32_t>(small_),
                    static_cast<std::uint32_t>(small_ >> kLimbBits)};
  drop_leading_zeros(value);
  return value;
}

void big_count::assign(limb_vector value) {
  drop_leading_zeros(value);
  if (value.size() > 2) {
    limbs_ = std::move(value);
    small_ = 0;  // unused while limbs_ holds the value; 0 keeps == a plain comparison
    return;
  }
  limbs_.clear();
  small_ = 0;
  for (std::size_t i = value.size(); i-- > 0;) small_ = (small_ << kLimbBits) | value[i];
}

void big_count::add(const big_count& other) {
  std::uint64_t sum = 0;
  if (limbs_.empty() && other.limbs_.empty() &&
      !__builtin_add_overflow(small_, other.small_, &sum)) {
    small_ = sum;
    return;
  }
  assign(sum_of(limbs(), other.limbs()));
}

void big_count::multiply(const big_count& other) {
  std::uint64_t product = 0;
  if (limbs_.empty() && other.limbs_.empty() &&
      !__builtin_mul_overflow(small_, other.small_, &product)) {
    small_ = product;
    return;
  }
  assign(product_of(limbs(), other.limbs()));
}

void big_count::add_product(const big_count& a, const big_count& b) {
  std::uint64_t product = 0;
  std::uint64_t sum = 0;
  if (limbs_.empty() && a.limbs_.empty() && b.limbs_.empty() &&
      !__builtin_mul_overflow(a.small_, b.small_, &product) &&
      !__builtin_add_overflow(small_, product, &sum)) {
    small_ = sum;
    return;
  }
  assign(sum_of(limbs(), product_of(a.limbs(), b.limbs())));
}

std::string big_count::to_decimal() const {
  if (limbs_.empty()) return std::to_string(small_);
  limb_vector rest = limbs_;
  std::vector<std::uint32_t> chunks;  // least significant first
  while (!rest.empty()) chunks.push_back(divide_in_place(rest, kDecimalChunk));
  std::string text = std::to_string(chunks.back());
  for (std::size_t i = chunks.size() - 1; i-- > 0;) {
    char digits[kChunkDigits + 1];
    std::snprintf(digits, sizeof digits, "%09u", static_cast<unsigned>(chunks[i]));
    text += digits;
  }
  return text;
}

bool operator==(const big_count& a, const big_count& b) {
  return a.small_ == b.small_ && a.limbs_ == b.limbs_;
}

std::strong_ordering operator<=>(const big_count& a, const big_count& b) {
  if (a.limbs_.empty() && b.limbs_.empty()) return a.small_ <=> b.small_;
  if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() <=> b.limbs_.size();
  return std::lexicographical_compare_three_way(a.limbs_.rbegin(), a.limbs_.rend(),
                                                b.limbs_.rbegin(), b.limbs_.rend());
}
