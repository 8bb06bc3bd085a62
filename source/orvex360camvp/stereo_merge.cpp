#include "module_log.h"
#include "orvex360camvp/merge_combine.h"
#include "orvex360camvp/merge_spans.h"
#include "orvex360camvp/orvex360camvp.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <span>

namespace {

constexpr Int32 kPixelBytes = 3 * static_cast<Int32>(sizeof(Float32));

// Every camera's image must be among those the host handed over, and present.
Bool HasEveryImage(Int32 cameraCount, const BaseBitmap* destination, const BaseBitmap* const* sources,
                   Int32 count) {
  if (!sources || count < cameraCount) {
    ModuleLog("Merge error: [%d] images for [%d] cameras", sources ? count : 0, cameraCount);
    return false;
  }
  for (Int32 k = 0; k < cameraCount; ++k) {
    if (sources[k]) continue;
    ModuleLog("Merge error: channel [%d] missing", k);
    return false;
  }
  if (!destination) ModuleLog("Merge error: no destination image");
  return destination != nullptr;
}

// The eyes and faces the merge walks must fit the state's arrays and the camera count; anything else
// would read past one of them.
Bool HasLayoutOfTheCameras(const RenderState& state) {
  const Bool eyesFit = state.eyeCount >= 1 && state.eyeCount <= static_cast<Int32>(state.eyes.size());
  const Bool facesFit = state.facesPerEye >= 1 && state.facesPerEye <= static_cast<Int32>(state.faces.size());
  if (eyesFit && facesFit && state.eyeCount * state.facesPerEye <= state.cameraCount) return true;
  ModuleLog("Merge error: [%d] eyes of [%d] faces for [%d] cameras", state.eyeCount, state.facesPerEye,
            state.cameraCount);
  return false;
}

Bool HasMatchingSizes(const BaseBitmap& destination, const BaseBitmap* const* sources, Int32 cameraCount) {
  const Int32 width = sources[0]->GetBw();
  const Int32 height = sources[0]->GetBh();
  if (destination.GetBw() != width || destination.GetBh() != height) {
    ModuleLog("Merge error: source size [%d/%d] != dest [%d/%d]", width, height, destination.GetBw(),
              destination.GetBh());
    return false;
  }
  for (Int32 k = 1; k < cameraCount; ++k) {
    if (sources[k]->GetBw() == width && sources[k]->GetBh() == height) continue;
    ModuleLog("Merge error: channel [%d] size differ [%d/%d]", k, sources[k]->GetBw(), sources[k]->GetBh());
    return false;
  }
  return true;
}

UChar* AsBytes(Float32* pixels) { return reinterpret_cast<UChar*>(pixels); }

// Row y of one eye: every run from the camera image that covers it, black where none does.
void ReadEyeRow(const EyeRowSpans& runs, const BaseBitmap* const* sources, Int32 y, Float32* row) {
  for (Int32 i = 0; i < runs.count; ++i) {
    const RowSpan& run = runs.spans[i];
    Float32* first = row + 3 * run.begin;
    if (run.source < 0 || !sources[run.source]->GetPixelCnt(run.begin, y, run.end - run.begin, AsBytes(first),
                                                            kPixelBytes, COLORMODE_RGBf, PIXELCNT_0))
      std::fill(first, row + 3 * run.end, 0.0f);
  }
}

}  // namespace

// Assembles the output from the camera images one row at a time: each eye's row is read from the
// images whose face rectangles cover it, then the two eyes are combined by the stereo output mode.
Bool Orvex360CamVP::StereoMergeImages(BaseVideoPost*, BaseBitmap* destination,
                                      const BaseBitmap* const* sources, Int32 count, const BaseContainer&,
                                      COLORSPACETRANSFORMATION) {
  ModuleLog("Stereo MERGE!");
  if (state.cameraCount < 2 || state.editorRender) return false;
  if (!HasEveryImage(state.cameraCount, destination, sources, count)) return false;
  if (!HasLayoutOfTheCameras(state)) return false;
  if (!HasMatchingSizes(*destination, sources, state.cameraCount)) return false;

  const Int32 width = destination->GetBw();
  const Int32 height = destination->GetBh();
  const size_t rowFloats = static_cast<size_t>(width) * 3;
  std::unique_ptr<Float32[]> rows(new (std::nothrow) Float32[2 * rowFloats]());
  if (!rows) {
    ModuleLog("Merge error: out of memory!");
    return false;
  }
  std::array<Float32*, 2> eyeRows{rows.get(), rows.get() + rowFloats};

  const RowCombiner combiner = MakeRowCombiner(state);
  const std::span<const orvex::SubView> faces(state.faces.data(), static_cast<size_t>(state.facesPerEye));
  EyeRowSpans runs;
  for (Int32 y = 0; y < height; ++y) {
    for (Int32 slot = 0; slot < state.eyeCount; ++slot) {
      if (!UsesEyeSlot(combiner, slot, y)) continue;
      CutEyeRow(faces, state.eyes[slot].area.GetStart(), slot * state.facesPerEye, y, width, runs);
      ReadEyeRow(runs, sources, y, eyeRows[slot]);
    }
    const Float32* out = CombineRow(combiner, y, width, eyeRows[0], eyeRows[1]);
    destination->SetPixelCnt(0, y, width, reinterpret_cast<const UChar*>(out), kPixelBytes, COLORMODE_RGBf,
                             PIXELCNT_0);
  }
  return true;
}
