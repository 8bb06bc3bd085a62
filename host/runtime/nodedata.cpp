#include "c4d.h"

// The host's default behaviour of every plugin operation a module does not override.

NodeData::~NodeData() = default;
Bool NodeData::Init(GeListNode*) { return true; }
void NodeData::Free(GeListNode*) {}
Bool NodeData::Message(GeListNode*, Int32, void*) { return true; }
Bool NodeData::GetDDescription(GeListNode*, Description*, DESCFLAGS_DESC&) { return true; }
Bool NodeData::GetDParameter(GeListNode*, const DescID&, GeData&, DESCFLAGS_GET&) { return true; }
Bool NodeData::SetDParameter(GeListNode*, const DescID&, const GeData&, DESCFLAGS_SET&) { return true; }
Bool NodeData::GetDEnabling(GeListNode*, const DescID&, const GeData&, DESCFLAGS_ENABLE,
                            const BaseContainer*) {
  return true;
}
Bool NodeData::CopyTo(NodeData*, GeListNode*, GeListNode*) { return true; }

Bool TagData::Draw(BaseTag*, BaseObject*, BaseDraw*, BaseDrawHelp*) { return true; }
EXECUTIONRESULT TagData::Execute(BaseTag*, BaseDocument*, BaseObject*, BaseThread*, Int32, EXECUTIONFLAGS) {
  return EXECUTIONRESULT_OK;
}

void PriorityData::SetPriorityValue(Int32 id, const GeData& value) { values_.SetData(id, value); }
GeData PriorityData::GetPriorityValue(Int32 id) const { return values_.GetData(id); }

RENDERRESULT VideoPostData::AllocateBuffers(BaseVideoPost*, Render*, BaseDocument*) {
  return RENDERRESULT_OK;
}
void VideoPostData::FreeBuffers(BaseVideoPost*) {}
Int32 VideoPostData::GetRenderInfo(BaseVideoPost*) { return VIDEOPOSTINFO_0; }
RENDERRESULT VideoPostData::Execute(BaseVideoPost*, VideoPostStruct*) { return RENDERRESULT_OK; }
void VideoPostData::ExecuteLine(BaseVideoPost*, PixelPost*) {}
void VideoPostData::ExecutePixel(BaseVideoPost*, PixelPost*, Int32, Int32, Int32) {}
void VideoPostData::CreateRay(Ray*, Float, Float) {}
Int32 VideoPostData::StereoGetCameraCountEditor(BaseVideoPost*, BaseDocument*, BaseDraw*) { return 0; }
Int32 VideoPostData::StereoGetCameraCountRenderer(BaseVideoPost*, BaseDocument*, RenderData*) { return 0; }
Bool VideoPostData::StereoGetCameraInfo(BaseVideoPost*, BaseDocument*, BaseDraw*, RenderData*, Int32,
                                        StereoCameraInfo&) {
  return false;
}
Bool VideoPostData::StereoMergeImages(BaseVideoPost*, BaseBitmap*, const BaseBitmap* const*, Int32,
                                      const BaseContainer&, COLORSPACETRANSFORMATION) {
  return false;
}
Bool VideoPostData::RenderEngineCheck(BaseVideoPost*, Int32) { return true; }

CommandData::~CommandData() = default;
Bool CommandData::Execute(BaseDocument*) { return true; }
Int32 CommandData::GetState(BaseDocument*) { return CMD_ENABLED; }

CustomGuiData::~CustomGuiData() = default;
