#include "analyser/base/big_count.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Decimal digit strings as the judge: schoolbook addition and multiplication
// on the digits, nothing shared with the limb arithmetic.
std::string decimal_sum(const std::string& a, const std::string& b) {
  std::string sum;
  int carry = 0;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry != 0; ++i) {
    if (i < a.size()) carry += a[a.size() - 1 - i] - '0';
    if (i < b.size()) carry += b[b.size() - 1 - i] - '0';
    sum += static_cast<char>('0' + carry % 10);
    carry /= 10;
  }
  while (sum.size() > 1 && sum.back() == '0') sum.pop_back();
  std::reverse(sum.begin(), sum.end());
  return sum.empty() ? "0" : sum;
}

std::string decimal_product(const std::string& a, const std::string& b) {
  std::vector<int> digits(a.size() + b.size(), 0);  // least significant first
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (std::size_t j = 0; j < b.size(); ++j) {
      digits[i + j] += (a[a.size() - 1 - i] - '0') * (b[b.size() - 1 - j] - '0');
    }
  }
  std::string product;
  int carry = 0;
  for (int d : digits) {
    carry += d;
    product += static_cast<char>('0' + carry % 10);
    carry /= 10;
  }
  while (product.size() > 1 && product.back() == '0') product.pop_back();
  std::reverse(product.begin(), product.end());
  return product;
}

int decimal_compare(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a < b ? -1 : (a == b ? 0 : 1);
}

constexpr std::uint64_t kTwoTo53 = std::uint64_t{1} << 53;

TEST(BigCount, SmallValuesAndTheBoundsOfOneWord) {
  struct row {
    std::uint64_t value;
    const char* decimal;
  } rows[] = {{0, "0"},
              {1, "1"},
              {4294967295u, "4294967295"},
              {4294967296u, "4294967296"},
              {kTwoTo53, "9007199254740992"},
              {UINT64_MAX, "18446744073709551615"}};
  for (const row& r : rows) {
    const big_count n(r.value);
    EXPECT_EQ(n.to_decimal(), r.decimal);
    EXPECT_EQ(n.to_uint64(), r.value);
    EXPECT_TRUE(n.fits_in(UINT64_MAX));
    EXPECT_EQ(n.is_zero(), r.value == 0);
  }
  EXPECT_TRUE(big_count().is_zero());
}

TEST(BigCount, PassingTwoTo64CarriesIntoLimbs) {
  big_count n(UINT64_MAX);
  n.add(big_count(1));
  EXPECT_EQ(n.to_decimal(), "18446744073709551616");
  EXPECT_FALSE(n.fits_in(UINT64_MAX));
  EXPECT_EQ(n.to_uint64(), UINT64_MAX);  // saturated
  EXPECT_GT(n, big_count(UINT64_MAX));
  big_count square(UINT64_MAX);
  square.multiply(big_count(UINT64_MAX));
  EXPECT_EQ(square.to_decimal(), "340282366920938463426481119284349108225");
  // Ordered by their number of limbs first, whichever side holds more.
  EXPECT_LT(big_count(UINT64_MAX), n);
  EXPECT_LT(n, square);
  EXPECT_GT(square, n);
  EXPECT_FALSE(square.is_zero());
  big_count two_to_128(1);
  for (int i = 0; i < 128; ++i) two_to_128.add(two_to_128);  // doubles, aliased
  EXPECT_EQ(two_to_128.to_decimal(), "340282366920938463463374607431768211456");
}

// The JSON writer prints a number up to 2^53 and digits beyond.
TEST(BigCount, FitsInAtTheLimitAndOnePast) {
  EXPECT_TRUE(big_count(kTwoTo53).fits_in(kTwoTo53));
  EXPECT_FALSE(big_count(kTwoTo53 + 1).fits_in(kTwoTo53));
  big_count large(UINT64_MAX);
  large.multiply(big_count(3));
  EXPECT_FALSE(large.fits_in(kTwoTo53));
}

TEST(BigCount, BackBelowOneWordAfterMultiplyingByZero) {
  big_count n(UINT64_MAX);
  n.multiply(n);
  n.multiply(big_count(0));
  EXPECT_TRUE(n.is_zero());
  EXPECT_EQ(n, big_count(0));
  EXPECT_EQ(n.to_decimal(), "0");
}

TEST(BigCount, Factorials) {
  big_count factorial(1);
  std::string judge = "1";
  for (std::uint64_t k = 2; k <= 60; ++k) {
    factorial.multiply(big_count(k));
    judge = decimal_product(judge, std::to_string(k));
    ASSERT_EQ(factorial.to_decimal(), judge) << k << "!";
  }
  big_count thirty(1);
  for (std::uint64_t k = 2; k <= 30; ++k) thirty.multiply(big_count(k));
  EXPECT_EQ(thirty.to_decimal(), "265252859812191058636308480000000");
}

// Random chains of add, multiply and add_product over a pool of values that
// grow past several limbs, against the digit strings; comparisons too.
TEST(BigCount, AgreesWithDecimalArithmetic) {
  std::mt19937_64 random(7);
  std::vector<big_count> pool;
  std::vector<std::string> judge;
  auto fresh = [&] {
    const int bits = static_cast<int>(random() % 65);
    const std::uint64_t value = bits == 0 ? 0 : random() >> (64 - bits);
    pool.emplace_back(value);
    judge.push_back(std::to_string(value));
  };
  for (int i = 0; i < 8; ++i) fresh();
  constexpr std::size_t kMaxDigits = 150;
  for (int step = 0; step < 20000; ++step) {
    const std::size_t t = random() % pool.size();
    const std::size_t a = random() % pool.size();
    const std::size_t b = random() % pool.size();
    const big_count operand_a = pool[a];
    const big_count operand_b = pool[b];
    switch (random() % 3) {
      case 0:
        pool[t].add(operand_a);
        judge[t] = decimal_sum(judge[t], judge[a]);
        break;
      case 1:
        pool[t].multiply(operand_a);
        judge[t] = decimal_product(judge[t], judge[a]);
        break;
      default:
        pool[t].add_product(operand_a, operand_b);
        judge[t] = decimal_sum(judge[t], decimal_product(judge[a], judge[b]));
        break;
    }
    ASSERT_EQ(pool[t].to_decimal(), judge[t]) << "step " << step;
    const int order = decimal_compare(judge[t], judge[a]);
    ASSERT_EQ(pool[t] < pool[a], order < 0) << "step " << step;
    ASSERT_EQ(pool[t] == pool[a], order == 0) << "step " << step;
    ASSERT_EQ(pool[t].fits_in(UINT64_MAX), decimal_compare(judge[t], "18446744073709551615") <= 0);
    if (judge[t].size() > kMaxDigits) {
      pool.erase(pool.begin() + static_cast<long>(t));
      judge.erase(judge.begin() + static_cast<long>(t));
      fresh();
    }
  }
}

TEST(BigCount, OperandsMayBeTheValueItself) {
  big_count n(UINT64_MAX);
  n.add_product(n, n);  // (2^64-1) + (2^64-1)^2
  EXPECT_EQ(n.to_decimal(), "340282366920938463444927863358058659840");
  big_count m(3);
  m.multiply(m);
  m.add_product(m, m);
  EXPECT_EQ(m.to_decimal(), "90");
}

}  // namespace
