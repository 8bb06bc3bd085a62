#include "orvextag/orvextag.h"

#include "module_log.h"
#include "orvextag/orvextag_settings.h"

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
}  // namespace

NodeData* OrvexTag::Alloc() { return new (std::nothrow) OrvexTag(); }

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
