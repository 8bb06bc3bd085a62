#pragma once

#include "c4d.h"
#include "entry_guard.h"

#include <new>

// What the host is handed in place of the module's plugin data: the same object, each entry the
// host calls run through Guarded with the SDK call's failure value (false, null, 0, out of memory)
// and logged under Data::kLogName. The per-ray and per-pixel calls (CreateRay, ExecutePixel,
// ExecuteLine) read the render state and do arithmetic only; nothing in them can throw, so they go
// straight through and the innermost loop carries no guard.

template <typename Data>
class GuardedNode : public Data {
 public:
  using Data::Data;

  Bool Init(GeListNode* node) override {
    return Guarded(Entry("Init"), false, [&] { return Data::Init(node); });
  }
  void Free(GeListNode* node) override {
    Guarded(Entry("Free"), [&] { Data::Free(node); });
  }
  Bool Message(GeListNode* node, Int32 type, void* data) override {
    return Guarded(Entry("Message"), false, [&] { return Data::Message(node, type, data); });
  }
  Bool GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags) override {
    return Guarded(Entry("GetDDescription"), false,
                   [&] { return Data::GetDDescription(node, description, flags); });
  }
  Bool GetDParameter(GeListNode* node, const DescID& id, GeData& data, DESCFLAGS_GET& flags) override {
    return Guarded(Entry("GetDParameter"), false, [&] { return Data::GetDParameter(node, id, data, flags); });
  }
  Bool SetDParameter(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_SET& flags) override {
    return Guarded(Entry("SetDParameter"), false, [&] { return Data::SetDParameter(node, id, data, flags); });
  }
  Bool GetDEnabling(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_ENABLE flags,
                    const BaseContainer* itemDescription) override {
    return Guarded(Entry("GetDEnabling"), false,
                   [&] { return Data::GetDEnabling(node, id, data, flags, itemDescription); });
  }
  Bool CopyTo(NodeData* destination, GeListNode* source, GeListNode* destinationNode) override {
    return Guarded(Entry("CopyTo"), false,
                   [&] { return Data::CopyTo(destination, source, destinationNode); });
  }

 protected:
  static EntryName Entry(const char* call) { return {Data::kLogName, call}; }
};

template <typename Data>
class GuardedTag final : public GuardedNode<Data> {
  using GuardedNode<Data>::Entry;

 public:
  Bool Draw(BaseTag* tag, BaseObject* object, BaseDraw* view, BaseDrawHelp* help) override {
    return Guarded(Entry("Draw"), false, [&] { return Data::Draw(tag, object, view, help); });
  }
  EXECUTIONRESULT Execute(BaseTag* tag, BaseDocument* doc, BaseObject* object, BaseThread* thread,
                          Int32 priority, EXECUTIONFLAGS flags) override {
    return Guarded(Entry("Execute"), EXECUTIONRESULT_OUTOFMEMORY,
                   [&] { return Data::Execute(tag, doc, object, thread, priority, flags); });
  }
};

template <typename Data>
class GuardedVideoPost final : public GuardedNode<Data> {
  using GuardedNode<Data>::Entry;

 public:
  RENDERRESULT AllocateBuffers(BaseVideoPost* node, Render* render, BaseDocument* doc) override {
    return Guarded(Entry("AllocateBuffers"), RENDERRESULT_OUTOFMEMORY,
                   [&] { return Data::AllocateBuffers(node, render, doc); });
  }
  void FreeBuffers(BaseVideoPost* node) override {
    Guarded(Entry("FreeBuffers"), [&] { Data::FreeBuffers(node); });
  }
  Int32 GetRenderInfo(BaseVideoPost* node) override {
    return Guarded(Entry("GetRenderInfo"), Int32(VIDEOPOSTINFO_0), [&] { return Data::GetRenderInfo(node); });
  }
  RENDERRESULT Execute(BaseVideoPost* node, VideoPostStruct* vps) override {
    return Guarded(Entry("Execute"), RENDERRESULT_OUTOFMEMORY, [&] { return Data::Execute(node, vps); });
  }
  Int32 StereoGetCameraCountEditor(BaseVideoPost* node, BaseDocument* doc, BaseDraw* view) override {
    return Guarded(Entry("StereoGetCameraCountEditor"), Int32(0),
                   [&] { return Data::StereoGetCameraCountEditor(node, doc, view); });
  }
  Int32 StereoGetCameraCountRenderer(BaseVideoPost* node, BaseDocument* doc,
                                     RenderData* renderData) override {
    return Guarded(Entry("StereoGetCameraCountRenderer"), Int32(0),
                   [&] { return Data::StereoGetCameraCountRenderer(node, doc, renderData); });
  }
  Bool StereoGetCameraInfo(BaseVideoPost* node, BaseDocument* doc, BaseDraw* view, RenderData* renderData,
                           Int32 index, StereoCameraInfo& info) override {
    return Guarded(Entry("StereoGetCameraInfo"), false,
                   [&] { return Data::StereoGetCameraInfo(node, doc, view, renderData, index, info); });
  }
  Bool StereoMergeImages(BaseVideoPost* node, BaseBitmap* destination, const BaseBitmap* const* sources,
                         Int32 count, const BaseContainer& settings,
                         COLORSPACETRANSFORMATION transform) override {
    return Guarded(Entry("StereoMergeImages"), false, [&] {
      return Data::StereoMergeImages(node, destination, sources, count, settings, transform);
    });
  }
  Bool RenderEngineCheck(BaseVideoPost* node, Int32 engineId) override {
    return Guarded(Entry("RenderEngineCheck"), false,
                   [&] { return Data::RenderEngineCheck(node, engineId); });
  }
};

template <typename Data>
class GuardedCommand final : public Data {
 public:
  using Data::Data;

  Bool Execute(BaseDocument* doc) override {
    return Guarded({Data::kLogName, "Execute"}, false, [&] { return Data::Execute(doc); });
  }
  Int32 GetState(BaseDocument* doc) override {
    return Guarded({Data::kLogName, "GetState"}, Int32(0), [&] { return Data::GetState(doc); });
  }
};

template <typename Data>
class GuardedGui final : public Data {
 public:
  using Data::Data;

  Bool CreateLayout() override {
    return Guarded({Data::kLogName, "CreateLayout"}, false, [&] { return Data::CreateLayout(); });
  }
  Bool InitValues() override {
    return Guarded({Data::kLogName, "InitValues"}, false, [&] { return Data::InitValues(); });
  }
  Bool Command(Int32 id, const BaseContainer& msg) override {
    return Guarded({Data::kLogName, "Command"}, false, [&] { return Data::Command(id, msg); });
  }
  Int32 Message(const BaseContainer& msg, BaseContainer& result) override {
    return Guarded({Data::kLogName, "Message"}, Int32(0), [&] { return Data::Message(msg, result); });
  }
  Int32 GetWidth() override {
    return Guarded({Data::kLogName, "GetWidth"}, Int32(0), [&] { return Data::GetWidth(); });
  }
  Int32 GetHeight() override {
    return Guarded({Data::kLogName, "GetHeight"}, Int32(0), [&] { return Data::GetHeight(); });
  }
  void CustomGuiRedraw() override {
    Guarded({Data::kLogName, "CustomGuiRedraw"}, [&] { Data::CustomGuiRedraw(); });
  }
  Bool SetData(const TriState<GeData>& data) override {
    return Guarded({Data::kLogName, "SetData"}, false, [&] { return Data::SetData(data); });
  }
  TriState<GeData> GetData() override {
    return Guarded({Data::kLogName, "GetData"}, TriState<GeData>(), [&] { return Data::GetData(); });
  }
};

template <typename Data>
class GuardedUserArea final : public Data {
 public:
  Bool GetMinSize(Int32& w, Int32& h) override {
    return Guarded({Data::kLogName, "GetMinSize"}, false, [&] { return Data::GetMinSize(w, h); });
  }
  void DrawMsg(Int32 x1, Int32 y1, Int32 x2, Int32 y2, const BaseContainer& msg) override {
    Guarded({Data::kLogName, "DrawMsg"}, [&] { Data::DrawMsg(x1, y1, x2, y2, msg); });
  }
  Bool InputEvent(const BaseContainer& msg) override {
    return Guarded({Data::kLogName, "InputEvent"}, false, [&] { return Data::InputEvent(msg); });
  }
};

// The host's factory of guarded plugin data `Wrapped`: null when it cannot be made.
template <typename Wrapped>
NodeData* AllocGuarded() {
  return Guarded({Wrapped::kLogName, "Alloc"}, static_cast<NodeData*>(nullptr),
                 [] { return static_cast<NodeData*>(new (std::nothrow) Wrapped()); });
}
