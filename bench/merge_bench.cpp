// The stereo merge of a 12-camera stereo cubemap at 4096 x 3072 (two eyes of six faces) beside plain
// memory copies: one output frame's bytes, and the bytes of all twelve camera images. Every
// benchmark reports bytes per second of the frame or images it moves; the times compare directly.

#include "geometry/cubemap_layout.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvex360camvp/render_state.h"
#include "runtime/console.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Render states as sequence start leaves them for the merge, built by hand.
orvex::RenderArea Area(Float startX, Float startY, Float endX, Float endY) {
  return {Vector(startX, startY, 0.0), Vector(endX, endY, 0.0)};
}

// Where the eyes land: each on the whole frame, or side by side split across x or y.
enum class EyeSplit { kNone, kHorizontal, kVertical };

void PlaceEyes(RenderState& state, Int32 width, Int32 height, Int32 eyeCount, EyeSplit split) {
  state.eyeCount = eyeCount;
  const Int32 w = split == EyeSplit::kHorizontal ? width / eyeCount : width;
  const Int32 h = split == EyeSplit::kVertical ? height / eyeCount : height;
  for (Int32 slot = 0; slot < eyeCount; ++slot) {
    const Int32 x = split == EyeSplit::kHorizontal ? slot * w : 0;
    const Int32 y = split == EyeSplit::kVertical ? slot * h : 0;
    state.eyes[slot].area = Area(x, y, x + w - 1.0, y + h - 1.0);
    state.eyes[slot].index = slot;
  }
}

// The six faces of a cubemap layout over eye slot 0's area, in row order, empty cells skipped.
void SetCubemap(RenderState& state, Int32 width, Int32 height, Int32 eyeCount, EyeSplit split,
                Int32 layoutKind) {
  PlaceEyes(state, width, height, eyeCount, split);
  orvex::CubemapSettings settings;
  settings.layout = layoutKind;
  orvex::BuildCubemapLayout(settings, state.layout);
  const Int32 columns = static_cast<Int32>(state.layout.gridSize.x);
  const Int32 rows = static_cast<Int32>(state.layout.gridSize.y);
  const Float cellWidth = static_cast<Float>(state.eyes[0].area.GetWidth()) / columns;
  const Float cellHeight = static_cast<Float>(state.eyes[0].area.GetHeight()) / rows;
  Int32 slot = 0;
  for (Int32 row = 0; row < rows; ++row) {
    for (Int32 column = 0; column < columns; ++column) {
      if (state.layout.cells[column][row].index < 0) continue;
      state.faces[slot] = state.layout.cells[column][row];
      state.faces[slot++].area =
          Area(std::trunc(column * cellWidth), std::trunc(row * cellHeight),
               std::trunc((column + 1) * cellWidth - 1.0), std::trunc((row + 1) * cellHeight - 1.0));
    }
  }
  state.facesPerEye = 6;
  state.cameraCount = 6 * eyeCount;
  state.lens.projection = orvex::Projection::kCubemap;
}

void SetAnaglyph(RenderState& state, Int32 colors, Int32 method, Float gamma) {
  state.stereoOutput = ORVEXVP_STEREO_MODE_ANAGLYPH;
  state.anaglyphColors = colors;
  state.anaglyphMethod = method;
  state.anaglyphGamma = gamma;
}

void SetInterlaced(RenderState& state, Int32 pattern) {
  state.stereoOutput = ORVEXVP_STEREO_MODE_INTERLACED;
  state.interlacePattern = pattern;
}

constexpr Int32 kWidth = 4096;
constexpr Int32 kHeight = 3072;
constexpr Int32 kCameras = 12;
constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * 3 * sizeof(Float32);

struct BitmapDeleter {
  void operator()(BaseBitmap* bitmap) const { BaseBitmap::Free(bitmap); }
};
using BitmapPtr = std::unique_ptr<BaseBitmap, BitmapDeleter>;

BitmapPtr MakeFrame(Float32 grey) {
  BitmapPtr bitmap(BaseBitmap::Alloc());
  if (bitmap->Init(kWidth, kHeight, 24) != IMAGERESULT_OK) std::abort();  // no frame, nothing to measure
  std::vector<Float32> row(size_t(kWidth) * 3, grey);
  for (Int32 y = 0; y < kHeight; ++y)
    bitmap->SetPixelCnt(0, y, kWidth, reinterpret_cast<const UChar*>(row.data()), 12, COLORMODE_RGBf,
                        PIXELCNT_0);
  return bitmap;
}

// The twelve camera images as the host hands them over, and the frame they merge into; made once.
struct CameraImages {
  CameraImages() {
    for (Int32 k = 0; k < kCameras; ++k) {
      images.push_back(MakeFrame(0.05f * static_cast<Float32>(k)));
      sources.push_back(images.back().get());
    }
    destination = MakeFrame(0.0f);
  }
  std::vector<BitmapPtr> images;
  std::vector<const BaseBitmap*> sources;
  BitmapPtr destination;
};

CameraImages& Images() {
  static CameraImages images;
  return images;
}

void MergeStereoCubemap(benchmark::State& bench, EyeSplit split, void (*setMode)(RenderState&)) {
  console::SetEcho(false);
  CameraImages& images = Images();
  std::unique_ptr<Orvex360CamVP> effect(static_cast<Orvex360CamVP*>(Orvex360CamVP::Alloc()));
  SetCubemap(effect->state, kWidth, kHeight, 2, split, orvex::kCubemapCrossHorizontal);
  setMode(effect->state);
  for (auto _ : bench) {
    const Bool merged = effect->StereoMergeImages(nullptr, images.destination.get(), images.sources.data(),
                                                  kCameras, BaseContainer(), COLORSPACETRANSFORMATION_NONE);
    if (!merged) bench.SkipWithError("the merge refused");
    console::Clear();
  }
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * kFrameBytes));
}

void BM_MergeSideBySide(benchmark::State& bench) {
  MergeStereoCubemap(bench, EyeSplit::kHorizontal,
                     [](RenderState& state) { state.stereoOutput = ORVEXVP_STEREO_MODE_SIDE_BY_SIDE; });
}

void BM_MergeAnaglyph(benchmark::State& bench) {
  MergeStereoCubemap(bench, EyeSplit::kNone, [](RenderState& state) { SetAnaglyph(state, 0, 3, 1.0); });
}

void BM_MergeInterlacedColumns(benchmark::State& bench) {
  MergeStereoCubemap(bench, EyeSplit::kNone, [](RenderState& state) { SetInterlaced(state, 1); });
}

// memcpy of `frames` whole frames from one buffer into another, out of cache like the merge.
void CopyFrames(benchmark::State& bench, Int32 frames) {
  std::vector<char> from(kFrameBytes, 1);
  std::vector<char> to(kFrameBytes, 0);
  for (auto _ : bench) {
    for (Int32 i = 0; i < frames; ++i) std::memcpy(to.data(), from.data(), kFrameBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * kFrameBytes * frames));
}

void BM_MemcpyOneFrame(benchmark::State& bench) { CopyFrames(bench, 1); }
void BM_MemcpyTwelveCameraImages(benchmark::State& bench) { CopyFrames(bench, kCameras); }

BENCHMARK(BM_MergeSideBySide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeAnaglyph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeInterlacedColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyOneFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyTwelveCameraImages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
