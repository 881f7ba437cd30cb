// Composing speed of the pixel primitives over an 800 x 600 buffer, against memcpy of the
// same bytes measured in the same run: compare the ratios, not the absolute times.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "common/bitmap_ops.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kBytes = kWidth * kHeight * 3;

struct Buffers {
  std::vector<uint8_t> dst = std::vector<uint8_t>(kBytes, 200);
  std::vector<uint8_t> src = std::vector<uint8_t>(kBytes);
  Buffers() {
    for (int i = 0; i < kBytes; ++i) src[i] = static_cast<uint8_t>(i * 7);
  }
  yk::PixelBuffer Dst() { return {dst.data(), kWidth, kHeight, kBytes}; }
  yk::ConstPixelBuffer Src() { return {src.data(), kWidth, kHeight, kBytes}; }
};

void BM_Memcpy(benchmark::State& state) {
  Buffers b;
  for (auto _ : state) {
    std::memcpy(b.dst.data(), b.src.data(), kBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Memcpy);

void BM_CopyRopSrcCopy(benchmark::State& state) {
  Buffers b;
  for (auto _ : state) {
    yk::CopyRop(b.Dst(), 0, 0, kWidth, kHeight, b.Src(), 0, 0, yk::kSrcCopy);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_CopyRopSrcCopy);

void BM_CopyRopSrcAnd(benchmark::State& state) {
  Buffers b;
  for (auto _ : state) {
    yk::CopyRop(b.Dst(), 0, 0, kWidth, kHeight, b.Src(), 0, 0, yk::kSrcAnd);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_CopyRopSrcAnd);

void BM_BlendMultiply(benchmark::State& state) {
  Buffers b;
  for (auto _ : state) {
    yk::Blend(b.Dst(), 0, 0, kWidth, kHeight, b.Src(), 0, 0, yk::kBlendMultiply);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_BlendMultiply);

// The translucent composition: lighten, then multiply.
void BM_LightenThenMultiply(benchmark::State& state) {
  Buffers b;
  for (auto _ : state) {
    yk::Lighten(b.Dst(), 0, 0, kWidth, kHeight);
    yk::Blend(b.Dst(), 0, 0, kWidth, kHeight, b.Src(), 0, 0, yk::kBlendMultiply);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_LightenThenMultiply);

}  // namespace

BENCHMARK_MAIN();
