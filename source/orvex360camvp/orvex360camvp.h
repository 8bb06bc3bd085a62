#pragma once

#include "c4d.h"
#include "orvex360camvp/render_state.h"
#include "settings/plugin_ids.h"

#include <array>

// The video-post effect: holds the output settings, replaces the camera lens at render time and
// merges the camera images of cubemaps and stereo pairs.
class Orvex360CamVP : public VideoPostData {
 public:
  static constexpr const char* kLogName = "Orvex360CamVP";
  // The host's factory: a guarded effect (guarded_entries.h).
  static NodeData* Alloc();
  ~Orvex360CamVP() override;

  // Node and panel.
  Bool Init(GeListNode* node) override;
  void Free(GeListNode* node) override;
  Bool Message(GeListNode* node, Int32 type, void* data) override;
  Bool GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags) override;
  Bool GetDParameter(GeListNode* node, const DescID& id, GeData& data, DESCFLAGS_GET& flags) override;
  Bool SetDParameter(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_SET& flags) override;
  Bool GetDEnabling(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_ENABLE flags,
                    const BaseContainer* itemDescription) override;

  // Render pipeline.
  RENDERRESULT AllocateBuffers(BaseVideoPost* node, Render* render, BaseDocument* doc) override;
  void FreeBuffers(BaseVideoPost* node) override;
  Int32 GetRenderInfo(BaseVideoPost* node) override;
  RENDERRESULT Execute(BaseVideoPost* node, VideoPostStruct* vps) override;
  void ExecuteLine(BaseVideoPost* node, PixelPost* pixel) override;
  void ExecutePixel(BaseVideoPost* node, PixelPost* pixel, Int32 x, Int32 subX, Int32 subY) override;
  void CreateRay(Ray* ray, Float x, Float y) override;
  Int32 StereoGetCameraCountEditor(BaseVideoPost* node, BaseDocument* doc, BaseDraw* view) override;
  Int32 StereoGetCameraCountRenderer(BaseVideoPost* node, BaseDocument* doc, RenderData* renderData) override;
  Bool StereoGetCameraInfo(BaseVideoPost* node, BaseDocument* doc, BaseDraw* view, RenderData* renderData,
                           Int32 index, StereoCameraInfo& info) override;
  // The render phases Execute dispatches to (render_pipeline.cpp).
  void StartSequence(BaseVideoPost* node, VideoPostStruct* vps);
  void PlaceEyes(BaseVideoPost* node);
  void PlaceFaces();
  void StartCamera();
  void EndSequence(VideoPostStruct* vps);

  // Stereo merge.
  Bool StereoMergeImages(BaseVideoPost* node, BaseBitmap* destination, const BaseBitmap* const* sources,
                         Int32 count, const BaseContainer& settings,
                         COLORSPACETRANSFORMATION transform) override;

  Bool RenderEngineCheck(BaseVideoPost* node, Int32 engineId) override;

  // Finds the render camera and its tag (see camera_search.cpp); returns the document's active view.
  BaseDraw* SearchCamera(BaseDocument* doc);
  // Builds `state.layout` from this node's cubemap parameters.
  void BuildLayout(Bool editorRender);

  const RenderState& State() const { return state; }

  RenderState state;
  std::array<BaseBitmap*, 7> faceImages{};  // owned cube-face previews; index 6 is "no face"

 private:
  // Panel messages: the bitmap of a bitmap button, and what follows a parameter set in the panel.
  void HandOverBitmap(DescriptionGetBitmap& request);
  void AfterParameterSet(GeListNode* node, Int32 id);
};

[[nodiscard]] Bool RegisterOrvex360CamVP();
