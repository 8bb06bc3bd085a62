#include "orvextag/orvextag.h"

#include "guarded_entries.h"
#include "module_log.h"
#include "orvextag/orvextag_settings.h"
#include "settings/orvextag_params.h"

#include <filesystem>
#include <new>

namespace {
constexpr Int32 kNameString = 10001;
constexpr Int32 kInfoFlags = TAG_VISIBLE | TAG_EXPRESSION;

// Loads one state icon; a missing or unreadable file is logged and leaves the icon null.
BaseBitmap* LoadIcon(const char* suffix) {
  const Filename path =
      GeGetPluginPath() + Filename("res") + Filename(String("orvextag") + String(suffix) + String(".tif"));
  const char* shown = path.GetString().GetCString();
  std::error_code ignored;
  if (!std::filesystem::exists(path.GetString().GetStdString(), ignored)) {
    ModuleLog(">>> ERROR bmp not exist [%s]", shown);
    return nullptr;
  }
  BaseBitmap* icon = BaseBitmap::Alloc();
  if (icon && icon->Init(path) == IMAGERESULT_OK) return icon;
  ModuleLog(">>> ERROR loadign bmp [%s]", shown);
  BaseBitmap::Free(icon);
  return nullptr;
}

// Cameras move before their expressions run, so the tag follows the camera's own evaluation.
void MakePriorityCameraDependent(BaseTag* tag) {
  GeData data;
  if (!tag->GetParameter(DescID(EXPRESSION_PRIORITY), data, DESCFLAGS_GET_0)) return;
  const auto* current = static_cast<const PriorityData*>(data.GetCustomDataType(CUSTOMDATATYPE_PRIORITY));
  if (!current) return;
  PriorityData priority(*current);
  priority.SetPriorityValue(PRIORITYVALUE_CAMERADEPENDENT, GeData(true));
  tag->SetParameter(DescID(EXPRESSION_PRIORITY), GeData(CUSTOMDATATYPE_PRIORITY, priority), DESCFLAGS_SET_0);
}
// The separation map's preview: a solid red square; the host owns it once handed over.
BaseBitmap* MakeSeparationPreview() {
  constexpr Int32 kSize = 50;
  BaseBitmap* preview = BaseBitmap::Alloc();
  if (!preview || preview->Init(kSize, kSize, 24) != IMAGERESULT_OK) {
    BaseBitmap::Free(preview);
    return nullptr;
  }
  preview->SetPen(255, 0, 0);
  for (Int32 y = 0; y < kSize; ++y) preview->Line(0, y, kSize - 1, y);
  return preview;
}

// The ID a button or post-set message is about; 0 when the message carries none.
Int32 IdOf(Int32 type, void* data) {
  if (type == MSG_DESCRIPTION_POSTSETPARAMETER) {
    const DescID* id = static_cast<DescriptionPostSetValue*>(data)->descid;
    return id ? (*id)[0] : 0;
  }
  return static_cast<DescriptionCommand*>(data)->id[0];
}
}  // namespace

NodeData* OrvexTag::Alloc() { return AllocGuarded<GuardedTag<OrvexTag>>(); }

OrvexTag::~OrvexTag() {
  for (BaseBitmap*& icon : icons_) BaseBitmap::Free(icon);
}

Bool OrvexTag::Init(GeListNode* node) {
  auto* tag = static_cast<BaseTag*>(node);
  WriteTagDefaults(*tag->GetDataInstance());
  if (!FindVideoPost(tag, nullptr, true)) return false;
  LoadIcons();
  MakePriorityCameraDependent(tag);
  return true;
}

Bool OrvexTag::Message(GeListNode* node, Int32 type, void* data) {
  auto* tag = static_cast<BaseTag*>(node);
  if (!tag || !data) return true;
  switch (type) {
    case MSG_DESCRIPTION_POSTSETPARAMETER:
      AfterParameterSet(tag, IdOf(type, data));
      break;
    case MSG_DESCRIPTION_COMMAND:
    case MSG_DESCRIPTION_COMMAND_BUTTON:
      return PressButton(tag, IdOf(type, data));
    case MSG_DESCRIPTION_GETBITMAP: {
      auto& request = *static_cast<DescriptionGetBitmap*>(data);
      if (request.id[0] == ORVEXTAG_SEPARATION_MAP_PREVIEW) request.bmp = MakeSeparationPreview();
      break;
    }
    case MSG_GETCUSTOMICON:
      FillCustomIcon(tag, *static_cast<GetCustomIconData*>(data));
      break;
    case MSG_UNDO_NOTICE:
      if (*static_cast<const Int32*>(data) == ORVEXTAG_EQUIRECT_VSPAN) ModuleLog("UNDO!");
      break;
    default:
      break;
  }
  return true;
}

// The on icon while the tag is on and its camera renders; the off icon otherwise. Nothing is
// handed over when that icon's file did not load.
void OrvexTag::FillCustomIcon(BaseTag* tag, GetCustomIconData& request) const {
  const BaseObject* camera = tag->GetObject();
  const Bool on =
      tag->GetDataInstance()->GetBool(ORVEXTAG_ENABLE) && !(camera && camera->GetRenderMode() == MODE_OFF);
  BaseBitmap* icon = StateIcon(on);
  if (!icon || !request.dat) return;
  *request.dat = IconData{icon, 0, 0, 32, 32};
  request.filled = true;
}

void OrvexTag::LoadIcons() {
  for (BaseBitmap*& icon : icons_) BaseBitmap::Free(icon);
  icons_[0] = LoadIcon("_off");
  icons_[1] = LoadIcon("");
}

Bool RegisterOrvexTag() {
  const AutoBitmap icon("orvextag.tif");
  return RegisterTagPlugin(ID_ORVEXTAG, GeLoadString(kNameString), kInfoFlags, OrvexTag::Alloc, "OrvexTag",
                           icon, 0);
}
