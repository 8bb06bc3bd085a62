#include "renderer.h"

#include "base/memory_budget.h"
#include "camera_area.h"
#include "camera_bitmaps.h"
#include "camera_image.h"
#include "camera_merge.h"
#include "camera_plan.h"
#include "image/image_limits.h"
#include "render_record.h"
#include "runtime/console.h"
#include "runtime/document_animation.h"
#include "runtime/host_state.h"
#include "runtime/view_target.h"
#include "scene_walk.h"
#include "sequence_progress.h"

#include <tbb/global_control.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <thread>

namespace {

constexpr Float kMaxSide = 65536.0;

std::string FormatNumber(Float value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", value);
  return text;
}

double ImageBytes(Int32 width, Int32 height) {
  return static_cast<double>(width) * height * FloatImage::kChannels * sizeof(Float32);
}

// What one frame takes besides the camera images of a multi-camera render: the image drawn into,
// and the writer's display-encoded copy and the encoded file, both at most as large as the image.
double FrameBytes(Int32 width, Int32 height) { return 3.0 * ImageBytes(width, height); }

bool CheckOptions(const RenderOptions& options, const BaseContainer& settings, std::string& error) {
  if (options.samples < 1 || options.samples > kMaxSamples) {
    error = "samples per pixel must lie between 1 and " + std::to_string(kMaxSamples);
    return false;
  }
  if (options.bounces < 0 || options.bounces > kMaxBounces) {
    error = "bounces must lie between 0 and " + std::to_string(kMaxBounces);
    return false;
  }
  if (!(std::abs(options.film.exposure) <= kMaxExposureStops)) {
    error = "the exposure must lie between -" + FormatNumber(kMaxExposureStops) + " and +" +
            FormatNumber(kMaxExposureStops) + " stops, not " + FormatNumber(options.film.exposure);
    return false;
  }
  if (options.firstFrame > options.lastFrame) {
    error = "the frame range " + std::to_string(options.firstFrame) + ".." +
            std::to_string(options.lastFrame) + " is empty";
    return false;
  }
  const Float fps = settings.GetFloat(RDATA_FRAMERATE);
  if (!std::isfinite(fps) || fps <= 0.0) {
    error = "the frame rate (render setting 5020) must be above 0";
    return false;
  }
  return true;
}

std::string FrameMemoryError(Int32 width, Int32 height) {
  return "an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels needs " +
         memory_budget::FormatBytes(FrameBytes(width, height)) + " to render and write, more than the " +
         memory_budget::FormatBytes(memory_budget::AvailableBytes()) + " of memory available";
}

std::string HitsMemoryError(Int32 width, Int32 height) {
  return "the depth of " + std::to_string(width) + " x " + std::to_string(height) + " pixels needs " +
         memory_budget::FormatBytes(PrimaryHitsBytes(width, height)) + ", which does not fit into memory";
}

// The render settings, the options and the memory of one frame, before anything is loaded or drawn.
bool CheckFrame(BaseDocument* doc, const RenderOptions& options, std::string& error) {
  const RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  if (!renderData) {
    error = "the document has no render settings";
    return false;
  }
  const BaseContainer& settings = *renderData->GetDataInstance();
  Int32 width = 0;
  Int32 height = 0;
  if (!ReadResolution(settings, width, height, error) || !CheckOptions(options, settings, error))
    return false;
  if (!memory_budget::Fits(FrameBytes(width, height))) {
    error = FrameMemoryError(width, height);
    return false;
  }
  if (options.primaryHits &&
      !memory_budget::Fits(PrimaryHitsBytes(width, height) + FrameBytes(width, height))) {
    error = HitsMemoryError(width, height);
    return false;
  }
  return true;
}

// One render of a document: its resources and the host's calls in their order.
class RenderSession {
 public:
  RenderSession(BaseDocument* doc, const RenderOptions& options) : doc_(doc), options_(options) {}

  bool Prepare(std::string& error);
  bool Run(const FrameSink& sink, std::string& error);

 private:
  bool RunSequence(const VideoPostChain& effects, HostRender& render, const CameraPlan& plan,
                   const FrameSink& sink, std::string& error);
  bool MakeRoomForCameras(const CameraPlan& plan, std::string& error);
  bool BuildScene(std::string& error);
  bool RenderCameras(const VideoPostChain& effects, HostRender& render, const CameraPlan& plan,
                     VideoPostStruct& vps, bool& merged, std::string& error);
  PixelWindow RenderCamera(const VideoPostChain& effects, HostRender& render, VideoPostStruct& vps,
                           const std::string& label, const std::optional<Matrix>& placement = std::nullopt,
                           Int32 cameraIndex = 0);
  PixelWindow DrawnWindow(const VideoPostChain& effects, const CameraArea& area, bool effectsWrote) const;

  BaseDocument* doc_;
  RenderOptions options_;
  RenderData* renderData_ = nullptr;
  Float fps_ = 30.0;
  FloatImage image_;               // the camera being rendered, then the finished frame
  CameraBitmaps cameras_;          // the camera images of a multi-camera frame
  PrimaryHits hits_;               // filled only when options_.primaryHits asks for them
  std::vector<CameraArea> areas_;  // per camera, learned in its first frame
  // The cameras of a multi-camera frame render only their area's rectangle; the rest of the image
  // is kept transparent black for them. The primary hits, which cover the whole image, need every
  // camera's whole image.
  bool areaOnly_ = false;
  SceneAccel scene_;
  Lighting lighting_;
  std::optional<SequenceProgress> progress_;  // from the sequence's start
};

bool RenderSession::Prepare(std::string& error) {
  // The settings and the memory were checked by CheckRender; what is left is what may still fail.
  renderData_ = doc_->GetActiveRenderData();
  const BaseContainer& settings = *renderData_->GetDataInstance();
  Int32 width = 0;
  Int32 height = 0;
  ReadResolution(settings, width, height, error);
  fps_ = settings.GetFloat(RDATA_FRAMERATE);
  if (!image_.AllocateUncleared(width, height)) {
    error = FrameMemoryError(width, height);
    return false;
  }
  if (options_.primaryHits && !hits_.Allocate(width, height)) {
    error = HitsMemoryError(width, height);
    return false;
  }
  if (!options_.environment.empty() && !lighting_.environment.Load(options_.environment, error)) return false;
  if (!BuildScene(error)) return false;
  lighting_.bounces = options_.bounces;
  // An image lights the geometry it surrounds; around no geometry it is only the background.
  if (scene_.SurfaceCount() > 0) lighting_.environmentSampler.Build(lighting_.environment);
  return true;
}

bool RenderSession::BuildScene(std::string& error) {
  if (!scene_.Build(doc_, error)) return false;
  lighting_.suns = CollectSuns(doc_);
  lighting_.lamps = CollectLamps(doc_);
  return true;
}

bool RenderSession::Run(const FrameSink& sink, std::string& error) {
  VideoPostChain effects(renderData_);
  HostRender render(renderData_->GetData());
  const CHECKISRUNNING kind =
      options_.editor ? CHECKISRUNNING_EDITORRENDERING : CHECKISRUNNING_EXTERNALRENDERING;
  host_state::SetRendering(kind, true);
  // The scene is evaluated at the first frame's time before the effects hear of the render, so
  // that render start reads what the tags derived; each frame evaluates it again at its own time.
  doc_->SetTime(BaseTime(options_.firstFrame, fps_));
  if (!doc_->ExecutePasses(nullptr, true, true, true)) {
    error =
        "the scene could not be evaluated at frame " + std::to_string(options_.firstFrame) + " (see above)";
    host_state::SetRendering(kind, false);
    return false;
  }
  effects.Notify(doc_, true, !options_.editor);
  bool rendered = effects.AllocateBuffers(&render, doc_, error);
  if (rendered) {
    effects.GatherRenderInfo();
    // Asked after render start, whose settings written back apply to this render.
    const CameraPlan plan(effects, doc_, render.record.settings, options_.editor);
    rendered = MakeRoomForCameras(plan, error) && RunSequence(effects, render, plan, sink, error);
  }
  effects.FreeBuffers();
  effects.Notify(doc_, false, !options_.editor);
  host_state::SetRendering(kind, false);
  return rendered;
}

// A multi-camera render keeps every camera image of a frame until the merge.
bool RenderSession::MakeRoomForCameras(const CameraPlan& plan, std::string& error) {
  if (!plan.IsMultiCamera()) return true;
  const double bytes = CameraBitmaps::BytesNeeded(plan.Count(), image_.width, image_.height);
  if (memory_budget::Fits(bytes + FrameBytes(image_.width, image_.height)) &&
      cameras_.Allocate(plan.Count(), image_.width, image_.height, options_.lastFrame > options_.firstFrame))
    return true;
  error = "the " + std::to_string(plan.Count()) + " camera images of " + std::to_string(image_.width) +
          " x " + std::to_string(image_.height) + " pixels need " + memory_budget::FormatBytes(bytes) +
          ", which do not fit into memory";
  return false;
}

bool RenderSession::RunSequence(const VideoPostChain& effects, HostRender& render, const CameraPlan& plan,
                                const FrameSink& sink, std::string& error) {
  areas_.assign(static_cast<size_t>(plan.IsMultiCamera() ? plan.Count() : 1), CameraArea());
  for (CameraArea& area : areas_) area.Reset(image_.width, image_.height);
  areaOnly_ = plan.IsMultiCamera() && !options_.primaryHits;
  VideoPostStruct vps;
  vps.doc = doc_;
  vps.render = &render;
  vps.editorRender = options_.editor;
  vps.time = BaseTime(options_.firstFrame, fps_);
  vps.frame = options_.firstFrame;
  effects.Execute(vps, VIDEOPOSTCALL_FRAMESEQUENCE, true);
  progress_.emplace(options_.firstFrame, options_.lastFrame, options_.frameLines);
  bool delivered = effects.Failure().empty();
  for (Int32 frame = options_.firstFrame; delivered && frame <= options_.lastFrame; ++frame) {
    const console::ScopedFrameLines frameLines;
    doc_->SetTime(BaseTime(frame, fps_));
    if (!doc_->ExecutePasses(nullptr, true, true, true)) {
      error = "the scene could not be evaluated at frame " + std::to_string(frame) + " (see above)";
      delivered = false;
      break;
    }
    // Animated objects moved: the geometry is traced where they stand at this frame.
    if (HasDocumentAnimation(*doc_) && !BuildScene(error)) {
      delivered = false;
      break;
    }
    vps.time = doc_->GetTime();
    vps.frame = frame;
    effects.Execute(vps, VIDEOPOSTCALL_FRAME, true);
    bool merged = true;
    bool kept = true;
    if (plan.IsMultiCamera()) {
      kept = RenderCameras(effects, render, plan, vps, merged, error);
    } else {
      RenderCamera(effects, render, vps, progress_->Label(frame));
    }
    effects.Execute(vps, VIDEOPOSTCALL_FRAME, false);
    // A frame an effect refused in any phase is not written.
    delivered = kept && effects.Failure().empty() && sink(image_, frame, error);
    if (delivered) progress_->FrameDone(frame);
    // The frame holds camera 0's image then: kept, but the render did not do its job.
    if (delivered && !merged) {
      error = "the effect refused to merge the camera images of frame " + std::to_string(frame) +
              "; camera 0's image was written instead";
      delivered = false;
    }
  }
  effects.Execute(vps, VIDEOPOSTCALL_FRAMESEQUENCE, false);
  if (!effects.Failure().empty()) {
    error = effects.Failure();
    return false;
  }
  return delivered;
}

// Every camera of a multi-camera frame in index order, each placed where the effect says, kept
// until the effect merges them into the frame; `merged` false when the merge refused (the frame is
// camera 0). False with `error` when a camera image could not be kept.
bool RenderSession::RenderCameras(const VideoPostChain& effects, HostRender& render, const CameraPlan& plan,
                                  VideoPostStruct& vps, bool& merged, std::string& error) {
  // Cameras that render only their area leave the rest of the image as it was: transparent black,
  // but for the frame merged before (or nothing yet).
  if (areaOnly_) ClearPixels(image_, {0, 0, image_.width, image_.height});
  for (Int32 camera = 0; camera < plan.Count(); ++camera) {
    const std::string label = progress_->Label(vps.frame) + ", camera " + std::to_string(camera + 1) + "/" +
                              std::to_string(plan.Count());
    const PixelWindow drawn = RenderCamera(effects, render, vps, label, plan.Placement(doc_, camera), camera);
    if (!cameras_.Store(camera, image_, drawn)) {
      error = "camera " + std::to_string(camera + 1) + "'s image of frame " + std::to_string(vps.frame) +
              " does not fit into memory";
      return false;
    }
    // The next camera draws only its own area over transparent black.
    if (areaOnly_) ClearPixels(image_, cameras_.StoredWindow(camera));
  }
  // The frame's pixels wait for the merge's result: freed meanwhile, so that the frame, the camera
  // images and the merged bitmap never take memory all at once; a sequence keeps them all, so that
  // no frame maps fresh memory.
  if (!cameras_.KeepsBetweenFrames()) image_ = FloatImage();
  if (!cameras_.PrepareDestination()) {
    error = "the merged image of frame " + std::to_string(vps.frame) + " does not fit into memory";
    cameras_.ReleaseFrame();
    return false;
  }
  merged = MergeCameraImages(*plan.Merger(), render.record.settings, cameras_, image_);
  cameras_.ReleaseFrame();
  if (image_.rgba.empty()) {
    error = "the frame " + std::to_string(vps.frame) + " does not fit into memory after the merge";
    return false;
  }
  return true;
}

// One full camera image into image_, between the camera phases of the effects. The plain camera
// stands at `placement` when given (a stereo camera), else where the scene camera is. Returns the
// part of image_ that may now hold pixels other than transparent black.
PixelWindow RenderSession::RenderCamera(const VideoPostChain& effects, HostRender& render,
                                        VideoPostStruct& vps, const std::string& label,
                                        const std::optional<Matrix>& placement, Int32 cameraIndex) {
  render.record.image = &image_;
  render.rgbaBuffer.written = false;
  effects.Execute(vps, VIDEOPOSTCALL_RENDER, true);
  PinholeCamera camera(FindRenderCamera(doc_), image_.width, image_.height);
  if (placement) camera.SetPlacement(*placement);
  ProgressBar progress(label, image_.height, options_.progress);
  CameraArea& area = areas_[static_cast<size_t>(cameraIndex)];
  const CameraPass pass{&scene_,   &lighting_, &effects,  &camera,      options_.samples,
                        &progress, &area,      areaOnly_, options_.film};
  RenderCameraImage(pass, image_);
  progress.Finish();
  if (options_.primaryHits && (options_.primaryHitsCamera < 0 || options_.primaryHitsCamera == cameraIndex)) {
    TracePrimaryHits(pass, hits_);
    options_.primaryHits(vps.frame, cameraIndex, image_, hits_);
  }
  // Camera end: effects may draw into the finished camera image through the document's view.
  const ScopedViewTarget target(
      doc_->GetActiveBaseDraw(),
      paint::Surface{image_.width, image_.height, image_.rgba.data(), paint::Encoding::Linear});
  effects.Execute(vps, VIDEOPOSTCALL_RENDER, false);
  return DrawnWindow(effects, area, target.Painted() || render.rgbaBuffer.written);
}

// What a camera may have drawn into image_, which was transparent black before it: an area-only
// camera its area's rectangle, whole rows of it when line posts ran on them (they are handed the
// row), and anything at all once an effect wrote through the buffer or painted through the view.
PixelWindow RenderSession::DrawnWindow(const VideoPostChain& effects, const CameraArea& area,
                                       bool effectsWrote) const {
  const PixelWindow frame{0, 0, image_.width, image_.height};
  if (!areaOnly_ || effectsWrote) return frame;
  const PixelWindow& bounds = area.Bounds();
  if (!effects.LinePosts().empty()) return {0, bounds.top, image_.width, bounds.height};
  return bounds;
}

}  // namespace

Int32 MaxRenderThreads() {
  // More threads than this only add memory and scheduling, never speed.
  return 4 * static_cast<Int32>(std::max(1u, std::thread::hardware_concurrency()));
}

bool ReadResolution(const BaseContainer& settings, Int32& width, Int32& height, std::string& error) {
  const Float w = settings.GetFloat(RDATA_XRES);
  const Float h = settings.GetFloat(RDATA_YRES);
  const auto valid = [](Float side) { return std::isfinite(side) && side >= 1.0 && side <= kMaxSide; };
  if (!valid(w) || !valid(h)) {
    error = "the image size " + FormatNumber(w) + " x " + FormatNumber(h) +
            " is not possible: width and height must lie between 1 and " + std::to_string(Int32(kMaxSide)) +
            " pixels";
    return false;
  }
  width = static_cast<Int32>(w);
  height = static_cast<Int32>(h);
  return true;
}

bool CheckRender(BaseDocument* doc, const RenderOptions& options, std::string& error) {
  // Checked before the limit takes effect: a huge one would stall the thread pool.
  if (options.threads < 0 || options.threads > MaxRenderThreads()) {
    error = "the thread count must lie between 1 and " + std::to_string(MaxRenderThreads()) +
            " (four per core), or be 0 for one per core";
    return false;
  }
  if (!CheckFrame(doc, options, error)) return false;
  if (!options.environment.empty() && !image_limits::CheckFile(options.environment, error)) {
    error = "environment: " + error;
    return false;
  }
  return true;
}

bool RenderDocument(BaseDocument* doc, const RenderOptions& options, const FrameSink& sink,
                    std::string& error) {
  if (!CheckRender(doc, options, error)) return false;
  std::optional<tbb::global_control> threadLimit;
  if (options.threads > 0) threadLimit.emplace(tbb::global_control::max_allowed_parallelism, options.threads);
  RenderSession session(doc, options);
  return session.Prepare(error) && session.Run(sink, error);
}
