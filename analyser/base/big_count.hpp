// An exact natural number of any size, for counts that outgrow 64 bits (the
// analyses of an ambiguous sentence). Values below 2^64 live in one machine
// word and need no storage of their own; larger ones keep 32-bit limbs.
// Storage that cannot be had throws std::bad_alloc.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

class big_count {
 public:
  big_count() = default;
  explicit big_count(std::uint64_t value) : small_(value) {}

  // this := this + other
  void add(const big_count& other);
  // this := this * other
  void multiply(const big_count& other);
  // this := this + a * b, without a temporary for the product when it is small.
  void add_product(const big_count& a, const big_count& b);

  bool is_zero() const { return limbs_.empty() && small_ == 0; }
  // True when the value is at most `limit`.
  bool fits_in(std::uint64_t limit) const { return limbs_.empty() && small_ <= limit; }
  // The value when it fits in 64 bits, else UINT64_MAX (saturated).
  std::uint64_t to_uint64() const { return limbs_.empty() ? small_ : UINT64_MAX; }
  // The decimal digits, without leading zeros ("0" for zero).
  std::string to_decimal() const;

  friend bool operator==(const big_count& a, const big_count& b);
  friend std::strong_ordering operator<=>(const big_count& a, const big_count& b);

 private:
  using limb_vector = std::vector<std::uint32_t>;
  // The limbs of the value, least significant first, without leading zeros.
  limb_vector limbs() const;
  // Takes `value` (any limbs); keeps it in small_ when it fits in 64 bits.
  void assign(limb_vector value);

  std::uint64_t small_ = 0;  // the value while limbs_ is empty
  limb_vector limbs_;        // empty below 2^64; otherwise every limb, top one not 0
};
