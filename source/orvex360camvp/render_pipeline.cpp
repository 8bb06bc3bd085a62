#include "orvex360camvp/orvex360camvp.h"

RENDERRESULT Orvex360CamVP::AllocateBuffers(BaseVideoPost*, Render*, BaseDocument*) { return RENDERRESULT_OK; }
Int32 Orvex360CamVP::GetRenderInfo(BaseVideoPost*) { return VIDEOPOSTINFO_0; }
RENDERRESULT Orvex360CamVP::Execute(BaseVideoPost*, VideoPostStruct*) { return RENDERRESULT_OK; }
void Orvex360CamVP::ExecuteLine(BaseVideoPost*, PixelPost*) {}
void Orvex360CamVP::ExecutePixel(BaseVideoPost*, PixelPost*, Int32, Int32, Int32) {}
void Orvex360CamVP::CreateRay(Ray*, Float, Float) {}
Int32 Orvex360CamVP::StereoGetCameraCountEditor(BaseVideoPost*, BaseDocument*, BaseDraw*) { return 0; }
Int32 Orvex360CamVP::StereoGetCameraCountRenderer(BaseVideoPost*, BaseDocument*, RenderData*) { return 0; }
Bool Orvex360CamVP::StereoGetCameraInfo(BaseVideoPost*, BaseDocument*, BaseDraw*, RenderData*, Int32,
                                        StereoCameraInfo&) {
  return false;
}
