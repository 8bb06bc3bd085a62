#pragma once

#include "c4d_nodedata.h"

class BaseBitmap;
struct RenderRecord;

// What GetRenderInfo can ask the renderer for.
enum : Int32 {
  VIDEOPOSTINFO_0 = 0,
  VIDEOPOSTINFO_EXECUTELINE = 16,
  VIDEOPOSTINFO_EXECUTEPIXEL = 32,
  VIDEOPOSTINFO_CUSTOMLENS = 1024,
};

// The phases Execute is called for.
enum VIDEOPOSTCALL : Int32 {
  VIDEOPOSTCALL_FRAMESEQUENCE = 1,
  VIDEOPOSTCALL_FRAME = 2,
  VIDEOPOSTCALL_SUBFRAME = 3,
  VIDEOPOSTCALL_RENDER = 4,
  VIDEOPOSTCALL_INNER = 5,
};

enum RENDERRESULT : Int32 { RENDERRESULT_OK = 0, RENDERRESULT_OUTOFMEMORY = 1, RENDERRESULT_USERBREAK = 3 };

enum : Int32 { VPBUFFER_RGBA = 1 };

// One float image buffer of a running render (x to the right, y down, channels interleaved).
class VPBuffer {
 public:
  Int32 GetBw() const;
  Int32 GetBh() const;
  Int32 GetCpp() const;  // channels per pixel
  [[nodiscard]] Bool GetLine(Int32 x, Int32 y, Int32 count, Float32* data) const;
  Bool SetLine(Int32 x, Int32 y, Int32 count, const Float32* data);

 protected:
  VPBuffer() = default;
  ~VPBuffer() = default;
};

// The host's running render: its settings container (written back settings apply to it) and buffers.
class Render {
 public:
  BaseContainer GetRenderData() const;
  void SetRenderData(const BaseContainer& settings);
  VPBuffer* GetBuffer(Int32 id, Int32 subId);
  RenderRecord& GetRecord() const;

 protected:
  Render() = default;
  ~Render() = default;
};

struct VideoPostStruct {
  VIDEOPOSTCALL vp = VIDEOPOSTCALL_FRAMESEQUENCE;
  Bool open = false;
  BaseDocument* doc = nullptr;
  Render* render = nullptr;
  BaseTime time;
  Int32 frame = 0;
  Bool editorRender = false;
};

// A primary ray in world space; a zero direction means "trace nothing".
struct Ray {
  Vector p;
  Vector v;
};

// One output pixel handed to ExecutePixel: its colour channels and line.
struct PixelPost {
  Float32* col = nullptr;
  Int32 comp = 0;  // channels in col (3 or 4)
  Int32 line = 0;  // y of the pixel
};

// Where one stereo camera sits.
struct StereoCameraInfo {
  Matrix m;
  Float offset_x = 0.0;
  Float offset_y = 0.0;
  String strName;
};

enum COLORSPACETRANSFORMATION : Int32 { COLORSPACETRANSFORMATION_NONE = 0 };

// Data of a video-post effect: render phases, custom lens, per-pixel post and the stereo cameras.
class VideoPostData : public NodeData {
 public:
  virtual RENDERRESULT AllocateBuffers(BaseVideoPost* node, Render* render, BaseDocument* doc);
  virtual void FreeBuffers(BaseVideoPost* node);
  virtual Int32 GetRenderInfo(BaseVideoPost* node);
  virtual RENDERRESULT Execute(BaseVideoPost* node, VideoPostStruct* vps);
  virtual void ExecuteLine(BaseVideoPost* node, PixelPost* pixel);
  virtual void ExecutePixel(BaseVideoPost* node, PixelPost* pixel, Int32 x, Int32 subX, Int32 subY);
  virtual void CreateRay(Ray* ray, Float x, Float y);
  virtual Int32 StereoGetCameraCountEditor(BaseVideoPost* node, BaseDocument* doc, BaseDraw* view);
  virtual Int32 StereoGetCameraCountRenderer(BaseVideoPost* node, BaseDocument* doc, RenderData* renderData);
  virtual Bool StereoGetCameraInfo(BaseVideoPost* node, BaseDocument* doc, BaseDraw* view,
                                   RenderData* renderData, Int32 index, StereoCameraInfo& info);
  virtual Bool StereoMergeImages(BaseVideoPost* node, BaseBitmap* destination,
                                 const BaseBitmap* const* sources, Int32 count, const BaseContainer& settings,
                                 COLORSPACETRANSFORMATION transform);
  virtual Bool RenderEngineCheck(BaseVideoPost* node, Int32 engineId);
};
