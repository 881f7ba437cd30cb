// Fast scans of a target for the places where a match can start: a literal run, exact or with
// ASCII letters in either case, and a set of bytes. Both look at sixteen positions at a time
// where the processor has SSE2, at thirty-two where it also has AVX2 (chosen when the program
// runs), and fall back to a loop over bytes elsewhere; either way they only propose
// positions, and every proposal is checked byte for byte before it counts.
#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define YK_REGEX_AVX2 1
#endif

#include "plugins/search/regex/regex_internal.h"

namespace yk::regex_detail {

namespace {

// Rank of each byte by how often it shows in Shift-JIS schedule and memo text (lower = rarer).
struct FrequencyRanking {
  std::array<std::uint8_t, 256> rank{};
  constexpr FrequencyRanking() {
    for (int b = 0; b < 256; ++b) rank[b] = 10;      // controls, 0x80, 0xA0..0xDF, 0xFD..0xFF
    for (int b = 0x21; b < 0x7F; ++b) rank[b] = 60;  // punctuation and the like
    for (int b = 'A'; b <= 'Z'; ++b) rank[b] = 80;
    for (int b = '0'; b <= '9'; ++b) rank[b] = 120;
    for (int b = 'a'; b <= 'z'; ++b) rank[b] = 110;
    for (int b = 0x40; b <= 0x7E; ++b) rank[b] += 20;  // also trail bytes
    for (int b = 0x80; b <= 0xFC; ++b) rank[b] = 90;   // lead and trail range
    for (int b = 0xA0; b <= 0xDF; ++b) rank[b] = 70;   // trail bytes only, in practice
    for (int b = 0x88; b <= 0x9F; ++b) rank[b] = 150;  // kanji leads
    for (int b = 0xE0; b <= 0xEA; ++b) rank[b] = 140;
    const char* common = "etaoinsrhldcu ";
    for (int i = 0; common[i]; ++i) rank[static_cast<std::uint8_t>(common[i])] = 200 - i;
    rank[0x81] = 220;  // punctuation lead
    rank[0x82] = 250;  // hiragana lead
    rank[0x83] = 230;  // katakana lead
    rank['\r'] = 180;
    rank['\n'] = 180;
    rank[':'] = 170;
    rank['/'] = 160;
  }
};
constexpr FrequencyRanking kRanking;

constexpr bool IsAsciiLetter(std::uint8_t b) {
  return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
}

// How often a probe on byte b fires: under folding a letter fires in both cases.
int ProbeRank(std::uint8_t b, bool fold) {
  if (fold && IsAsciiLetter(b)) {
    return kRanking.rank[b | 0x20] + kRanking.rank[b & ~0x20] / 2;
  }
  return kRanking.rank[b];
}

// A run of blocks scanned for proposals: the first block that has any, as its start and a bit
// for each proposed position in it; bits 0 with `at` the first position not scanned when no
// whole block is left.
struct Block {
  std::size_t at;
  std::uint32_t bits;
};

// Where both probes of a literal fit, for starts p with p + width <= end.
struct ProbePair {
  const std::uint8_t* text;
  std::size_t at0, at1;
  std::uint8_t byte0, byte1, mask0, mask1;
};

#if defined(__SSE2__)
Block ProbeBlocksSse2(const ProbePair& q, std::size_t p, std::size_t end) {
  const __m128i want0 = _mm_set1_epi8(static_cast<char>(q.byte0));
  const __m128i want1 = _mm_set1_epi8(static_cast<char>(q.byte1));
  const __m128i or0 = _mm_set1_epi8(static_cast<char>(q.mask0));
  const __m128i or1 = _mm_set1_epi8(static_cast<char>(q.mask1));
  const std::uint8_t* t0 = q.text + q.at0;
  const std::uint8_t* t1 = q.text + q.at1;
  for (; p + 16 <= end; p += 16) {
    const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t0 + p)), or0);
    const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t1 + p)), or1);
    const auto bits = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, want0), _mm_cmpeq_epi8(b, want1))));
    if (bits) return {p, bits};
  }
  return {p, 0};
}

// Positions whose byte lies in one of the ranges (block - lo <= span, unsigned).
struct RangeArgs {
  const std::uint8_t* text;
  int count;
  const std::uint8_t* lo;
  const std::uint8_t* span;
};

Block RangeBlocksSse2(const RangeArgs& q, std::size_t p, std::size_t end) {
  __m128i lo[ByteSetScan::kMaxRanges], span[ByteSetScan::kMaxRanges];
  for (int r = 0; r < q.count; ++r) {
    lo[r] = _mm_set1_epi8(static_cast<char>(q.lo[r]));
    span[r] = _mm_set1_epi8(static_cast<char>(q.span[r]));
  }
  for (; p + 16 <= end; p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q.text + p));
    __m128i in = _mm_setzero_si128();
    for (int r = 0; r < q.count; ++r) {
      const __m128i off = _mm_sub_epi8(block, lo[r]);
      in = _mm_or_si128(in, _mm_cmpeq_epi8(_mm_min_epu8(off, span[r]), off));
    }
    const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(in));
    if (bits) return {p, bits};
  }
  return {p, 0};
}
#endif

#if defined(YK_REGEX_AVX2)
__attribute__((target("avx2"))) Block ProbeBlocksAvx2(const ProbePair& q, std::size_t p,
                                                      std::size_t end) {
  const __m256i want0 = _mm256_set1_epi8(static_cast<char>(q.byte0));
  const __m256i want1 = _mm256_set1_epi8(static_cast<char>(q.byte1));
  const __m256i or0 = _mm256_set1_epi8(static_cast<char>(q.mask0));
  const __m256i or1 = _mm256_set1_epi8(static_cast<char>(q.mask1));
  const std::uint8_t* t0 = q.text + q.at0;
  const std::uint8_t* t1 = q.text + q.at1;
  for (; p + 32 <= end; p += 32) {
    const __m256i a =
        _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(t0 + p)), or0);
    const __m256i b =
        _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(t1 + p)), or1);
    const auto bits = static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(a, want0), _mm256_cmpeq_epi8(b, want1))));
    if (bits) return {p, bits};
  }
  return {p, 0};
}

__attribute__((target("avx2"))) Block RangeBlocksAvx2(const RangeArgs& q, std::size_t p,
                                                      std::size_t end) {
  __m256i lo[ByteSetScan::kMaxRanges], span[ByteSetScan::kMaxRanges];
  for (int r = 0; r < q.count; ++r) {
    lo[r] = _mm256_set1_epi8(static_cast<char>(q.lo[r]));
    span[r] = _mm256_set1_epi8(static_cast<char>(q.span[r]));
  }
  for (; p + 32 <= end; p += 32) {
    const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q.text + p));
    __m256i in = _mm256_setzero_si256();
    for (int r = 0; r < q.count; ++r) {
      const __m256i off = _mm256_sub_epi8(block, lo[r]);
      in = _mm256_or_si256(in, _mm256_cmpeq_epi8(_mm256_min_epu8(off, span[r]), off));
    }
    const auto bits = static_cast<std::uint32_t>(_mm256_movemask_epi8(in));
    if (bits) return {p, bits};
  }
  return {p, 0};
}

bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}
#endif

// The wide scan this processor runs, and how many positions a block holds (0 = none).
template <typename Args>
struct BlockScan {
  Block (*scan)(const Args&, std::size_t, std::size_t) = nullptr;
  std::size_t width = 0;
};

BlockScan<ProbePair> ProbeScanner() {
#if defined(YK_REGEX_AVX2)
  if (HaveAvx2()) return {ProbeBlocksAvx2, 32};
#endif
#if defined(__SSE2__)
  return {ProbeBlocksSse2, 16};
#else
  return {};
#endif
}

#if defined(__SSE2__)
BlockScan<RangeArgs> RangeScanner() {
#if defined(YK_REGEX_AVX2)
  if (HaveAvx2()) return {RangeBlocksAvx2, 32};
#endif
  return {RangeBlocksSse2, 16};
}
#endif

}  // namespace

std::size_t LeadRunBefore(const std::uint8_t* text, std::size_t lo, std::size_t pos) {
  std::size_t r = pos;
  if (r > lo && !IsLeadByte(text[r - 1])) return 0;  // the common case: no run at all
#if defined(__SSE2__)
  // Sixteen bytes at a time: the lead-range bytes of the block before r, and how many of
  // them end it.
  const __m128i lo1 = _mm_set1_epi8(static_cast<char>(0x81)), span1 = _mm_set1_epi8(0x9F - 0x81);
  const __m128i lo2 = _mm_set1_epi8(static_cast<char>(0xE0)), span2 = _mm_set1_epi8(0xFC - 0xE0);
  while (r >= lo + 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + r - 16));
    const __m128i off1 = _mm_sub_epi8(block, lo1), off2 = _mm_sub_epi8(block, lo2);
    const __m128i lead = _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(off1, span1), off1),
                                      _mm_cmpeq_epi8(_mm_min_epu8(off2, span2), off2));
    const auto other = static_cast<std::uint32_t>(~_mm_movemask_epi8(lead)) & 0xFFFFu;
    if (other) return pos - (r - 16 + 32 - static_cast<std::size_t>(__builtin_clz(other)));
    r -= 16;
  }
#endif
  while (r > lo && IsLeadByte(text[r - 1])) --r;
  return pos - r;
}

void PrepareLiteralScan(const std::uint8_t* bytes, const std::uint8_t* mask, std::size_t len,
                        bool fold, LiteralScan& out) {
  out = LiteralScan{};
  out.bytes.assign(reinterpret_cast<const char*>(bytes), len);
  out.mask.assign(reinterpret_cast<const char*>(mask), len);
  out.fold = fold;
  if (len == 0) return;
  // The two rarest positions; a second probe on the same byte value is kept only when nothing
  // else is left.
  std::size_t first = 0;
  for (std::size_t i = 1; i < len; ++i) {
    if (ProbeRank(bytes[i], fold) < ProbeRank(bytes[first], fold)) first = i;
  }
  std::size_t second = first;
  for (std::size_t i = 0; i < len; ++i) {
    if (i == first) continue;
    const bool same = bytes[i] == bytes[first];
    const bool secondSame = second == first || bytes[second] == bytes[first];
    if (second == first || (secondSame && !same) ||
        (same == secondSame && ProbeRank(bytes[i], fold) < ProbeRank(bytes[second], fold))) {
      second = i;
    }
  }
  for (int k = 0; k < 2; ++k) {
    const std::size_t at = k == 0 ? first : second;
    out.probeAt[k] = at;
    out.probeMask[k] = mask[at];
    out.probeByte[k] = static_cast<std::uint8_t>(bytes[at] | out.probeMask[k]);
  }
}

std::size_t FindLiteral(const LiteralScan& scan, const std::uint8_t* text, std::size_t lo,
                        std::size_t hi, TrailTest* isTrail) {
  const std::size_t len = scan.bytes.size();
  if (len == 0 || hi < lo || hi - lo < len) return hi;
  const std::size_t end = hi - len + 1;  // one past the last possible start
  auto fits = [&](std::size_t s) {
    return LiteralMatchesAt(scan, text + s) && !(isTrail && (*isTrail)(s));
  };
  std::size_t p = lo;
  if (len == 1 && scan.probeMask[0] == 0) {  // one exact byte: the library's search is best
    while (p < end) {
      const void* hit = std::memchr(text + p, scan.probeByte[0], end - p);
      if (!hit) return hi;
      p = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - text);
      if (fits(p)) return p;
      ++p;
    }
    return hi;
  }
  const std::size_t at0 = scan.probeAt[0], at1 = scan.probeAt[1];
  const std::uint8_t byte0 = scan.probeByte[0], byte1 = scan.probeByte[1];
  const std::uint8_t mask0 = scan.probeMask[0], mask1 = scan.probeMask[1];
  // Whole blocks of starts; a block's loads reach at most text[end - 1 + len - 1] = text[hi - 1].
  const BlockScan<ProbePair> wide = ProbeScanner();
  if (wide.scan) {
    const ProbePair pair{text, at0, at1, byte0, byte1, mask0, mask1};
    for (;;) {
      const Block block = wide.scan(pair, p, end);
      if (!block.bits) {
        p = block.at;
        break;
      }
      for (std::uint32_t bits = block.bits; bits; bits &= bits - 1) {
        const std::size_t s = block.at + static_cast<std::size_t>(__builtin_ctz(bits));
        if (fits(s)) return s;
      }
      p = block.at + wide.width;
    }
  }
  for (; p < end; ++p) {
    if ((text[p + at0] | mask0) == byte0 && (text[p + at1] | mask1) == byte1 && fits(p)) return p;
  }
  return hi;
}

void PrepareByteSetScan(const std::array<bool, 256>& set, ByteSetScan& out) {
  out = ByteSetScan{};
  out.set = set;
  int members = 0;
  for (int b = 0; b < 256; ++b) {
    if (!set[b]) continue;
    ++members;
    out.single = b;
    if (b == 0 || !set[b - 1]) {
      if (out.rangeCount < ByteSetScan::kMaxRanges) {
        out.rangeLo[out.rangeCount] = static_cast<std::uint8_t>(b);
        out.rangeSpan[out.rangeCount] = 0;
      }
      ++out.rangeCount;
    } else if (out.rangeCount <= ByteSetScan::kMaxRanges) {
      ++out.rangeSpan[out.rangeCount - 1];
    }
  }
  if (members != 1) out.single = -1;
  if (out.rangeCount > ByteSetScan::kMaxRanges) out.rangeCount = 0;  // the table loop instead
}

std::size_t FindInByteSet(const ByteSetScan& scan, const std::uint8_t* text, std::size_t p,
                          std::size_t end) {
  if (p >= end) return end;
  if (scan.single >= 0) {
    const void* hit = std::memchr(text + p, scan.single, end - p);
    return hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - text) : end;
  }
#if defined(__SSE2__)
  if (scan.rangeCount > 0) {
    const BlockScan<RangeArgs> wide = RangeScanner();
    const RangeArgs ranges{text, scan.rangeCount, scan.rangeLo, scan.rangeSpan};
    const Block block = wide.scan(ranges, p, end);
    if (block.bits) return block.at + static_cast<std::size_t>(__builtin_ctz(block.bits));
    p = block.at;
  }
#endif
  // Four bytes a round keeps the loop's speed independent of where it lands in the code.
  const std::array<bool, 256>& set = scan.set;
  for (; p + 4 <= end; p += 4) {
    if (set[text[p]]) return p;
    if (set[text[p + 1]]) return p + 1;
    if (set[text[p + 2]]) return p + 2;
    if (set[text[p + 3]]) return p + 3;
  }
  while (p < end && !set[text[p]]) ++p;
  return p;
}

}  // namespace yk::regex_detail
