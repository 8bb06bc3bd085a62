#include "renderer.h"

#include "camera_image.h"
#include "render_record.h"
#include "runtime/host_state.h"
#include "scene_walk.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr Float kMaxSide = 65536.0;
constexpr Int32 kMaxSamples = 4096;

std::string FormatNumber(Float value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", value);
  return text;
}

// Whether a float image of this size fits into the machine's memory at all.
bool FitsIntoMemory(Int32 width, Int32 height) {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return true;
  const double bytes = static_cast<double>(width) * height * FloatImage::kChannels * sizeof(Float32);
  return bytes < static_cast<double>(pages) * static_cast<double>(pageSize);
}

bool CheckOptions(const RenderOptions& options, const BaseContainer& settings, std::string& error) {
  if (options.samples < 1 || options.samples > kMaxSamples) {
    error = "samples per pixel must lie between 1 and " + std::to_string(kMaxSamples);
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

// One render of a document: its resources and the host's calls in their order.
class RenderSession {
 public:
  RenderSession(BaseDocument* doc, const RenderOptions& options) : doc_(doc), options_(options) {}

  bool Prepare(std::string& error);
  bool Run(const FrameSink& sink, std::string& error);

 private:
  bool RunSequence(const VideoPostChain& effects, HostRender& render, const FrameSink& sink,
                   std::string& error);
  bool CheckSingleCamera(const VideoPostChain& effects, const HostRender& render, std::string& error) const;
  void RenderCamera(const VideoPostChain& effects, HostRender& render, VideoPostStruct& vps,
                    FloatImage& target);

  BaseDocument* doc_;
  RenderOptions options_;
  RenderData* renderData_ = nullptr;
  Float fps_ = 30.0;
  FloatImage image_;
  SceneAccel scene_;
  Lighting lighting_;
};

bool RenderSession::Prepare(std::string& error) {
  renderData_ = doc_ ? doc_->GetActiveRenderData() : nullptr;
  if (!renderData_) {
    error = "the document has no render settings";
    return false;
  }
  const BaseContainer& settings = *renderData_->GetDataInstance();
  Int32 width = 0;
  Int32 height = 0;
  if (!ReadResolution(settings, width, height, error) || !CheckOptions(options_, settings, error))
    return false;
  fps_ = settings.GetFloat(RDATA_FRAMERATE);
  if (!options_.environment.empty() && !lighting_.environment.Load(options_.environment, error)) return false;
  if (!FitsIntoMemory(width, height) || !image_.Allocate(width, height)) {
    error = "an image of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels does not fit into memory";
    return false;
  }
  if (!scene_.Build(doc_, error)) return false;
  lighting_.suns = CollectSuns(doc_);
  return true;
}

bool RenderSession::Run(const FrameSink& sink, std::string& error) {
  VideoPostChain effects(renderData_);
  HostRender render(renderData_->GetData());
  const CHECKISRUNNING kind =
      options_.editor ? CHECKISRUNNING_EDITORRENDERING : CHECKISRUNNING_EXTERNALRENDERING;
  host_state::SetRendering(kind, true);
  effects.Notify(doc_, true, !options_.editor);
  effects.AllocateBuffers(&render, doc_);
  effects.GatherRenderInfo();
  const bool rendered =
      CheckSingleCamera(effects, render, error) && RunSequence(effects, render, sink, error);
  effects.FreeBuffers();
  effects.Notify(doc_, false, !options_.editor);
  host_state::SetRendering(kind, false);
  return rendered;
}

// Renders needing several camera images (stereo pairs, cubemap layouts) are not available yet.
bool RenderSession::CheckSingleCamera(const VideoPostChain& effects, const HostRender& render,
                                      std::string& error) const {
  if (options_.editor || !render.record.settings.GetBool(RDATA_STEREO)) return true;
  const Int32 cameras = effects.CameraCount(doc_, renderData_);
  if (cameras <= 1) return true;
  error = "this render needs " + std::to_string(cameras) +
          " camera images (stereo or a cubemap layout), which the renderer cannot combine yet";
  return false;
}

bool RenderSession::RunSequence(const VideoPostChain& effects, HostRender& render, const FrameSink& sink,
                                std::string& error) {
  VideoPostStruct vps;
  vps.doc = doc_;
  vps.render = &render;
  vps.editorRender = options_.editor;
  vps.time = BaseTime(options_.firstFrame, fps_);
  vps.frame = options_.firstFrame;
  effects.Execute(vps, VIDEOPOSTCALL_FRAMESEQUENCE, true);
  bool delivered = true;
  for (Int32 frame = options_.firstFrame; delivered && frame <= options_.lastFrame; ++frame) {
    doc_->SetTime(BaseTime(frame, fps_));
    doc_->ExecutePasses(nullptr, true, true, true);
    vps.time = doc_->GetTime();
    vps.frame = frame;
    effects.Execute(vps, VIDEOPOSTCALL_FRAME, true);
    RenderCamera(effects, render, vps, image_);
    effects.Execute(vps, VIDEOPOSTCALL_FRAME, false);
    delivered = sink(image_, frame, error);
  }
  effects.Execute(vps, VIDEOPOSTCALL_FRAMESEQUENCE, false);
  return delivered;
}

// One full camera image into `target`, between the camera phases of the effects. Renders of
// several cameras call it once per camera, each into an image of its own.
void RenderSession::RenderCamera(const VideoPostChain& effects, HostRender& render, VideoPostStruct& vps,
                                 FloatImage& target) {
  render.record.image = &target;
  effects.Execute(vps, VIDEOPOSTCALL_RENDER, true);
  const PinholeCamera camera(FindRenderCamera(doc_), target.width, target.height);
  ProgressBar progress("Frame " + std::to_string(vps.frame), target.height, options_.progress);
  const CameraPass pass{&scene_, &lighting_, &effects, &camera, options_.samples, &progress};
  RenderCameraImage(pass, target);
  progress.Finish();
  effects.Execute(vps, VIDEOPOSTCALL_RENDER, false);
}

}  // namespace

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

bool RenderDocument(BaseDocument* doc, const RenderOptions& options, const FrameSink& sink,
                    std::string& error) {
  RenderSession session(doc, options);
  return session.Prepare(error) && session.Run(sink, error);
}
