#pragma once

#include "c4d_constants.h"
#include "c4d_gedata.h"

#include <memory>

class NodeData;
class BaseObject;
class BaseTag;
class BaseDocument;
class RenderData;
class BaseVideoPost;
class BaseShader;
class BaseDraw;
class BaseThread;
struct NodeRecord;  // the host's private record behind every node

// Root of every host node: a type, a parameter container and the node's plugin data.
class C4DAtom {
 public:
  virtual ~C4DAtom();
  C4DAtom(const C4DAtom&) = delete;
  C4DAtom& operator=(const C4DAtom&) = delete;

  Int32 GetType() const;
  Bool IsInstanceOf(Int32 type) const;

  // Parameter access through the node's plugin data; SetParameter also sends the post-set message.
  [[nodiscard]] Bool GetParameter(const DescID& id, GeData& data, DESCFLAGS_GET flags);
  Bool SetParameter(const DescID& id, const GeData& data, DESCFLAGS_SET flags);

  // Sends a message to the node's plugin data; true when the node answered it.
  Bool Message(Int32 type, void* data = nullptr);

  C4DAtom* GetClone() const;
  void SetDirty(Int32 flags);
  UInt32 GetDirty(Int32 flags) const;

  NodeRecord& GetRecord() const { return *record_; }

 protected:
  explicit C4DAtom(Int32 type);
  friend struct NodeFactory;

 private:
  std::unique_ptr<NodeRecord> record_;
};

class GeListNode : public C4DAtom {
 public:
  GeListNode* GetNext() const;
  GeListNode* GetPred() const;
  GeListNode* GetUp() const;
  GeListNode* GetDown() const;
  void InsertUnder(GeListNode* parent);
  void InsertUnderLast(GeListNode* parent);
  void InsertAfter(GeListNode* pred);
  void InsertBefore(GeListNode* next);
  void Remove();

  BaseDocument* GetDocument() const;
  NodeData* GetNodeData() const;
  template <typename T>
  T* GetNodeData() const {
    return static_cast<T*>(GetNodeData());
  }

 protected:
  using C4DAtom::C4DAtom;
  friend struct NodeFactory;
};

class BaseList2D : public GeListNode {
 public:
  String GetName() const;
  void SetName(const String& name);

  BaseContainer* GetDataInstance();
  const BaseContainer* GetDataInstance() const;
  BaseContainer GetData() const;
  void SetData(const BaseContainer& data, Bool add = true);

  void SetBit(Int32 mask);
  void DelBit(Int32 mask);
  Bool GetBit(Int32 mask) const;

  // Shaders owned by this node (linked from its parameters).
  void InsertShader(BaseShader* shader);
  BaseShader* GetFirstShader() const;

 protected:
  using GeListNode::GeListNode;
  friend struct NodeFactory;
};

class BaseTag : public BaseList2D {
 public:
  static BaseTag* Alloc(Int32 type);
  static void Free(BaseTag*& tag);

  BaseObject* GetObject() const;
  BaseTag* GetNext() const { return static_cast<BaseTag*>(GeListNode::GetNext()); }

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

class BaseObject : public BaseList2D {
 public:
  static BaseObject* Alloc(Int32 type);
  static void Free(BaseObject*& object);

  BaseObject* GetNext() const { return static_cast<BaseObject*>(GeListNode::GetNext()); }
  BaseObject* GetDown() const { return static_cast<BaseObject*>(GeListNode::GetDown()); }
  BaseObject* GetUp() const { return static_cast<BaseObject*>(GeListNode::GetUp()); }

  Matrix GetMl() const;
  void SetMl(const Matrix& local);
  // The object's own placement relative to its parent: position, rotation as heading, pitch and
  // bank in radians (the convention of HpbToMatrix) and scale per axis.
  Vector GetRelPos() const;
  void SetRelPos(const Vector& position);
  Vector GetRelRot() const;
  void SetRelRot(const Vector& hpb);
  Vector GetRelScale() const;
  void SetRelScale(const Vector& scale);
  Matrix GetMg() const;
  void SetMg(const Matrix& global);

  BaseTag* GetFirstTag() const;
  BaseTag* GetTag(Int32 type, Int32 number = 0) const;
  void InsertTag(BaseTag* tag, BaseTag* pred = nullptr);
  BaseTag* MakeTag(Int32 type, BaseTag* pred = nullptr);

  Int32 GetRenderMode() const;
  void SetRenderMode(Int32 mode);

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

class CameraObject : public BaseObject {
 public:
  static CameraObject* Alloc() { return static_cast<CameraObject*>(BaseObject::Alloc(Ocamera)); }
  Bool SetFocus(Float focalLength);
  Float GetFocus() const;

 protected:
  using BaseObject::BaseObject;
  friend struct NodeFactory;
};

class BaseVideoPost : public BaseList2D {
 public:
  static BaseVideoPost* Alloc(Int32 type);
  static void Free(BaseVideoPost*& videoPost);
  BaseVideoPost* GetNext() const { return static_cast<BaseVideoPost*>(GeListNode::GetNext()); }

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

class RenderData : public BaseList2D {
 public:
  static RenderData* Alloc();
  static void Free(RenderData*& renderData);

  BaseVideoPost* GetFirstVideoPost() const;
  void InsertVideoPost(BaseVideoPost* videoPost, BaseVideoPost* pred = nullptr);
  RenderData* GetNext() const { return static_cast<RenderData*>(GeListNode::GetNext()); }

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

// What a shader is sampled with.
struct ChannelData {
  Vector p;                 // texture position
  Vector n{0.0, 1.0, 0.0};  // surface normal
  Vector d{1.0, 1.0, 1.0};  // sampling delta
  Float t = 0.0;            // time
  Int32 texflag = 0;
  void* vd = nullptr;  // volume data, unused here
};

struct InitRenderStruct {
  BaseDocument* doc = nullptr;
};

enum INITRENDERRESULT : Int32 {
  INITRENDERRESULT_OK = 0,
  INITRENDERRESULT_OUTOFMEMORY = -100,
  INITRENDERRESULT_ASSETMISSING = -101,
  INITRENDERRESULT_UNKNOWNERROR = -102,
};

// A procedural or image-backed shader; Sample is safe from many threads after InitRender.
class BaseShader : public BaseList2D {
 public:
  static BaseShader* Alloc(Int32 type);
  static void Free(BaseShader*& shader);

  INITRENDERRESULT InitRender(const InitRenderStruct& irs);
  Vector Sample(ChannelData* cd);
  void FreeRender();

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

class BaseDocument : public BaseList2D {
 public:
  static BaseDocument* Alloc();
  static void Free(BaseDocument*& document);

  BaseObject* GetFirstObject() const;
  void InsertObject(BaseObject* object, BaseObject* parent, BaseObject* pred = nullptr);

  RenderData* GetActiveRenderData() const;
  RenderData* GetFirstRenderData() const;
  void InsertRenderData(RenderData* renderData, RenderData* parent = nullptr, RenderData* pred = nullptr);
  void SetActiveRenderData(RenderData* renderData);

  BaseDraw* GetActiveBaseDraw() const;
  BaseDraw* GetRenderBaseDraw() const;

  BaseTime GetTime() const;
  void SetTime(const BaseTime& time);
  Int32 GetFps() const;
  BaseTime GetMinTime() const;
  BaseTime GetMaxTime() const;

  BaseObject* GetActiveObject() const;
  void SetActiveObject(BaseObject* object, Int32 mode = SELECTION_NEW);
  BaseTag* GetActiveTag() const;
  void SetActiveTag(BaseTag* tag, Int32 mode = SELECTION_NEW);

  Bool StartUndo();
  Bool AddUndo(UNDOTYPE type, void* data);
  Bool EndUndo();
  // Reverts the latest undo step, or applies again the latest reverted one; false with a console
  // line when there is none or a step is still open.
  Bool DoUndo();
  Bool DoRedo();

  // Scene evaluation: runs the tags' expressions.
  Bool ExecutePasses(BaseThread* thread, Bool animation, Bool expressions, Bool caches);

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

BaseDocument* GetActiveDocument();
void EventAdd();
Bool CheckIsRunning(CHECKISRUNNING kind);
