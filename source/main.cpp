#include "c4d.h"
#include "entry_guard.h"
#include "module_log.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvexcreate/orvexcreate.h"
#include "orvextag/orvextag.h"
#include "xypad/xypad.h"

#include <cstdint>
#include <cstdio>
#include <new>

namespace {
constexpr Int32 kMinimumHostVersion = 16049;
constexpr Int32 kLoadPriority = -1000000;

enum : Int32 {
  kActionSystemStart = 1,
  kActionPluginStart = 2,
  kActionShutdown = 3,
  kActionVersion = 4,
  kActionMessage = 6,
};
enum : Int32 { kMessagePriority = 0, kMessageResource = 1 };

Int32 g_initCount = 0;
Filename* g_modulePath = nullptr;
GeResource g_resource;

Bool PluginStart() {
  return RegisterOrvex360CamVP() && RegisterOrvexCreateCommands() && RegisterOrvexTag() && RegisterXYPad();
}

void PluginEnd() {}

Bool PluginMessage(Int32 id, void* data) {
  switch (id) {
    case kMessagePriority:
      if (!data) return false;
      *static_cast<Int32*>(data) = kLoadPriority;
      return true;
    case kMessageResource:
      return g_modulePath && g_resource.Init(*g_modulePath);
    default:
      return false;
  }
}

Int32 SystemStart(void* hostTable, void* modulePath) {
  if (++g_initCount > 1) return 1;
  if (InitOS(hostTable) < kMinimumHostVersion || !modulePath) {
    // Not set up: let a later start try again instead of reporting a module that is not there.
    --g_initCount;
    return -3;
  }
  g_modulePath = new (std::nothrow) Filename(*static_cast<const Filename*>(modulePath));
  return 1;
}

Int32 Shutdown() {
  if (g_initCount == 0 || --g_initCount > 0) return 1;
  PluginEnd();
  g_resource.Free();
  FreeXYPadMaps();
  delete g_modulePath;
  g_modulePath = nullptr;
  return 1;
}

}  // namespace

const Filename& GeGetPluginPath() {
  static const Filename kNone;
  return g_modulePath ? *g_modulePath : kNone;
}

String GeLoadString(Int32 id) { return g_resource.LoadString(id); }

namespace {
Int32 Dispatch(Int32 action, void* p1, void* p2, void* p3) {
  switch (action) {
    case kActionSystemStart:
      return SystemStart(p1, p3);
    case kActionPluginStart:
      return PluginStart() ? 1 : 0;
    case kActionShutdown:
      return Shutdown();
    case kActionVersion:
      return 5;
    case kActionMessage:
      return PluginMessage(static_cast<Int32>(reinterpret_cast<std::intptr_t>(p1)), p2) ? 1 : -1;
    default:
      return -1;
  }
}
}  // namespace

// The host's one way in: whatever an action throws ends here as a refusal (-1) with a console line.
extern "C" __attribute__((visibility("default"))) Int32 c4d_main(Int32 action, void* p1, void* p2, void* p3) {
  return Guarded({nullptr, "c4d_main"}, Int32(-1), [&] { return Dispatch(action, p1, p2, p3); });
}
