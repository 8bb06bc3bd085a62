#include "orvex360camvp/orvex360camvp.h"

#include "guarded_entries.h"
#include "module_log.h"
#include "orvex360camvp/panel_preview.h"
#include "orvex360camvp/panel_rules.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

#include <new>

namespace {
constexpr Int32 kNameString = 10000;
constexpr Int32 kInfoFlags = 32;
constexpr const char* kProductPage = "https://orvex360cam.example.org/";

void WriteEffectDefaults(BaseContainer& data) {
  data.SetInt32(ORVEXVP_MASK_MODE, 0);
  data.SetFilename(ORVEXVP_MASK_FILE, Filename());
  data.SetBool(ORVEXVP_SHOW_INFO, false);
  data.SetBool(ORVEXVP_SHOW_TIME, false);
  data.SetBool(ORVEXVP_SHOW_FRAME, false);
  data.SetBool(ORVEXVP_SHOW_TEXT, false);
  data.SetString(ORVEXVP_TEXT, "TITLE\nDirected by\nProduced by\nMusic by\nLicence");
  data.SetFloat(ORVEXVP_TEXT_SIZE, 1.0);
  data.SetInt32(ORVEXVP_LOGO_MODE, 0);
  data.SetFilename(ORVEXVP_LOGO_FILE, Filename());
  data.SetBool(ORVEXVP_TOGGLE, false);
  data.SetInt32(ORVEXVP_CHOICE, 0);
  data.SetBool(ORVEXVP_OVERLAY, true);
  data.SetInt32(ORVEXVP_STEREO_MODE, ORVEXVP_STEREO_MODE_ANAGLYPH);
  data.SetInt32(ORVEXVP_EYE_SHIFT, 0);
  data.SetBool(ORVEXVP_SWAP_EYES, false);
  data.SetInt32(ORVEXVP_SINGLE_EYE, 0);
  data.SetInt32(ORVEXVP_ANAGLYPH_COLORS, 0);
  data.SetInt32(ORVEXVP_ANAGLYPH_METHOD, 3);
  data.SetFloat(ORVEXVP_ANAGLYPH_GAMMA, 1.0);
  data.SetInt32(ORVEXVP_SIDE_LAYOUT, 0);
  data.SetBool(ORVEXVP_LEFT_FLIP_U, false);
  data.SetBool(ORVEXVP_LEFT_FLIP_V, false);
  data.SetBool(ORVEXVP_RIGHT_FLIP_U, false);
  data.SetBool(ORVEXVP_RIGHT_FLIP_V, false);
  data.SetInt32(ORVEXVP_INTERLACE, 0);
  data.SetInt32(ORVEXVP_CUBE_LAYOUT, orvex::kCubemapCrossHorizontal);
  data.SetInt32(ORVEXVP_CUBE_FACE, 5);
  // Right, left, up, down, front, back.
  constexpr Int32 kSlotFaces[] = {1, 0, 3, 2, 5, 4};
  for (Int32 slot = 0; slot < 6; ++slot) data.SetInt32(ORVEXVP_CUBE_SLOT1 + slot, kSlotFaces[slot]);
  data.SetInt32(ORVEXVP_CUBE_CROSS_START, 1);
  data.SetBool(ORVEXVP_CUBE_VIDEO_FACES, false);
}

BaseDocument* DocumentOf(GeListNode* node) {
  BaseDocument* doc = node ? node->GetDocument() : nullptr;
  return doc ? doc : GetActiveDocument();
}

Bool RendersStereo(BaseDocument* doc) {
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  return renderData && renderData->GetDataInstance()->GetBool(RDATA_STEREO);
}

// The parameters the cubemap layout grid is built from.
Bool ShapesTheGrid(Int32 id) {
  return id == ORVEXVP_CUBE_LAYOUT || id == ORVEXVP_CUBE_FACE || id == ORVEXVP_CUBE_CROSS_START ||
         id == ORVEXVP_CUBE_VIDEO_FACES || (id >= ORVEXVP_CUBE_SLOT1 && id <= ORVEXVP_CUBE_SLOT6);
}
}  // namespace

NodeData* Orvex360CamVP::Alloc() { return AllocGuarded<GuardedVideoPost<Orvex360CamVP>>(); }

Orvex360CamVP::~Orvex360CamVP() { FreeFaceImages(faceImages); }

Bool Orvex360CamVP::Init(GeListNode* node) {
  ModuleLog("------- INIT -------");
  WriteEffectDefaults(*static_cast<BaseList2D*>(node)->GetDataInstance());
  LoadFaceImages(faceImages);
  BuildLayout(false);
  return true;
}

void Orvex360CamVP::Free(GeListNode* node) { VideoPostData::Free(node); }

void Orvex360CamVP::BuildLayout(Bool editorRender) {
  static const BaseContainer kUnset;
  const auto* node = static_cast<const BaseList2D*>(Get());
  const BaseContainer& data = node ? *node->GetDataInstance() : kUnset;
  orvex::CubemapSettings settings;
  settings.layout = data.GetInt32(ORVEXVP_CUBE_LAYOUT, settings.layout);
  settings.singleFace = data.GetInt32(ORVEXVP_CUBE_FACE, settings.singleFace);
  for (Int32 slot = 0; slot < 6; ++slot)
    settings.slots[slot] = data.GetInt32(ORVEXVP_CUBE_SLOT1 + slot, settings.slots[slot]);
  settings.crossStart = data.GetInt32(ORVEXVP_CUBE_CROSS_START, settings.crossStart);
  settings.videoFaces = data.GetBool(ORVEXVP_CUBE_VIDEO_FACES, settings.videoFaces);
  settings.editorRender = editorRender;
  settings.hasTagData = state.tagData != nullptr;
  if (state.tagData) settings.tagEditorFace = state.tagData->GetInt32(ORVEXTAG_CUBEMAP_FACE);
  orvex::BuildCubemapLayout(settings, state.layout);
}

Bool Orvex360CamVP::GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags) {
  if (!node || !description || !description->LoadDescription(node->GetType())) return false;
  const BaseContainer& data = *static_cast<BaseList2D*>(node)->GetDataInstance();
  ApplyVisibilityRules(*description, data, static_cast<Int32>(state.layout.gridSize.y));
  BaseDocument* doc = DocumentOf(node);
  SearchCamera(doc);
  if (state.tagData) ApplyFoldRules(*description, *state.tagData, RendersStereo(doc));
  flags = flags | DESCFLAGS_DESC_LOADED;
  return VideoPostData::GetDDescription(node, description, flags);
}

Bool Orvex360CamVP::GetDParameter(GeListNode* node, const DescID& id, GeData& data, DESCFLAGS_GET& flags) {
  if (id[0] == ORVEXVP_HEADER || IsPreviewButton(id[0])) {
    data = GeData(CUSTOMDATATYPE_BITMAPBUTTON, BitmapButtonStruct(static_cast<BaseList2D*>(node), id, 0));
    flags = flags | DESCFLAGS_GET_PARAM_GET;
  }
  return VideoPostData::GetDParameter(node, id, data, flags);
}

Bool Orvex360CamVP::SetDParameter(GeListNode* node, const DescID& id, const GeData& data,
                                  DESCFLAGS_SET& flags) {
  if (id[0] == ORVEXVP_HEADER && (flags & DESCFLAGS_SET_USERINTERACTION)) {
    ModuleLog("CLICKED ON HEADER BITMAP! flags [%d]", static_cast<Int32>(flags));
    GeOpenHTML(kProductPage);
  }
  return VideoPostData::SetDParameter(node, id, data, flags);
}

Bool Orvex360CamVP::GetDEnabling(GeListNode* node, const DescID& id, const GeData& data,
                                 DESCFLAGS_ENABLE flags, const BaseContainer* itemDescription) {
  if (node &&
      !IsEffectElementEnabled(id[0], *static_cast<BaseList2D*>(node)->GetDataInstance(), state.tagData))
    return false;
  return VideoPostData::GetDEnabling(node, id, data, flags, itemDescription);
}

Bool Orvex360CamVP::Message(GeListNode* node, Int32 type, void* data) {
  if (!data) return true;
  switch (type) {
    case MSG_DESCRIPTION_GETBITMAP:
      HandOverBitmap(*static_cast<DescriptionGetBitmap*>(data));
      break;
    case MSG_DESCRIPTION_POSTSETPARAMETER:
      if (const DescID* id = static_cast<DescriptionPostSetValue*>(data)->descid)
        AfterParameterSet(node, (*id)[0]);
      break;
    case MSG_MULTI_RENDERNOTIFICATION: {
      const auto& notice = *static_cast<const RenderNotificationData*>(data);
      state.editorRender = notice.start && !notice.external ? 1 : 0;
      break;
    }
    default:
      break;
  }
  return true;
}

void Orvex360CamVP::HandOverBitmap(DescriptionGetBitmap& request) {
  if (request.id[0] == ORVEXVP_HEADER) request.bmp = MakeHeaderBitmap();
  if (IsPreviewButton(request.id[0]))
    request.bmp = MakePreviewBitmap(request.id[0], state.layout, faceImages);
}

void Orvex360CamVP::AfterParameterSet(GeListNode* node, Int32 id) {
  if (ShapesTheGrid(id)) {
    BuildLayout(false);
    if (node) node->SetDirty(DIRTYFLAGS_DESCRIPTION);
  }
  const Bool tagShowsIt = id == ORVEXVP_TOGGLE || id == ORVEXVP_CHOICE;
  const Bool tagPanelDependsOnIt =
      id == ORVEXVP_STEREO_MODE || id == ORVEXVP_SIDE_LAYOUT || id == ORVEXVP_CUBE_LAYOUT;
  if (!tagShowsIt && !tagPanelDependsOnIt) return;
  SearchCamera(nullptr);
  if (!state.tag) return;
  if (tagPanelDependsOnIt) {
    state.tag->SetDirty(DIRTYFLAGS_DESCRIPTION);
    return;
  }
  state.tag->Message(MSG_UPDATE);
  EventAdd();
}

Bool Orvex360CamVP::RenderEngineCheck(BaseVideoPost*, Int32) { return true; }

Bool RegisterOrvex360CamVP() {
  ModuleLog("READY!");
  return RegisterVideoPostPlugin(ID_ORVEX360CAMVP, GeLoadString(kNameString), kInfoFlags,
                                 Orvex360CamVP::Alloc, "Orvex360Cam", 0, 0);
}
