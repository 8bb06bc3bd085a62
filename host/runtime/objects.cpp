#include "c4d_tools.h"
#include "node_record.h"

// ---- BaseObject

BaseObject* BaseObject::Alloc(Int32 type) {
  C4DAtom* node = NodeFactory::Create(type);
  if (node && !node->IsInstanceOf(Obase)) {
    NodeFactory::Destroy(node);
    return nullptr;
  }
  return static_cast<BaseObject*>(node);
}

void BaseObject::Free(BaseObject*& object) {
  NodeFactory::Destroy(object);
  object = nullptr;
}

Matrix BaseObject::GetMl() const { return GetRecord().local; }

void BaseObject::SetMl(const Matrix& local) {
  GetRecord().local = local;
  GetRecord().rotation = MatrixToHpb(local);
}

Matrix BaseObject::GetMg() const {
  const BaseObject* parent = GetUp();
  return parent ? parent->GetMg() * GetRecord().local : GetRecord().local;
}

void BaseObject::SetMg(const Matrix& global) {
  const BaseObject* parent = GetUp();
  SetMl(parent ? Inverse(parent->GetMg()) * global : global);
}

// The local matrix is what the renderer reads; the angles are kept beside it so that a rotation
// reads back as it was set, not as some equivalent triple.
Vector BaseObject::GetRelPos() const { return GetRecord().local.offset; }
void BaseObject::SetRelPos(const Vector& position) { GetRecord().local.offset = position; }
Vector BaseObject::GetRelRot() const { return GetRecord().rotation; }

void BaseObject::SetRelRot(const Vector& hpb) {
  const Vector scale = GetRelScale();
  const Matrix turn = HpbToMatrix(hpb);
  Matrix& local = GetRecord().local;
  local = {local.offset, turn.axisX * scale.x, turn.axisY * scale.y, turn.axisZ * scale.z};
  GetRecord().rotation = hpb;
}

Vector BaseObject::GetRelScale() const {
  const Matrix& local = GetRecord().local;
  return {local.axisX.GetLength(), local.axisY.GetLength(), local.axisZ.GetLength()};
}

void BaseObject::SetRelScale(const Vector& scale) {
  const Matrix turn = HpbToMatrix(GetRecord().rotation);
  Matrix& local = GetRecord().local;
  local = {local.offset, turn.axisX * scale.x, turn.axisY * scale.y, turn.axisZ * scale.z};
}

BaseTag* BaseObject::GetFirstTag() const { return static_cast<BaseTag*>(FirstIn(GetRecord(), Branch::Tags)); }

BaseTag* BaseObject::GetTag(Int32 type, Int32 number) const {
  for (BaseTag* tag = GetFirstTag(); tag; tag = tag->GetNext())
    if (tag->IsInstanceOf(type) && number-- == 0) return tag;
  return nullptr;
}

void ForEachTag(BaseObject* first, const std::function<void(BaseObject& object, BaseTag& tag)>& visit) {
  for (BaseObject* object = first; object; object = object->GetNext()) {
    for (BaseTag* tag = object->GetFirstTag(); tag; tag = tag->GetNext()) visit(*object, *tag);
    ForEachTag(object->GetDown(), visit);
  }
}

void BaseObject::InsertTag(BaseTag* tag, BaseTag* pred) {
  if (tag) InsertIntoBranch(tag, this, Branch::Tags, pred);
}

BaseTag* BaseObject::MakeTag(Int32 type, BaseTag* pred) {
  BaseTag* tag = BaseTag::Alloc(type);
  InsertTag(tag, pred);
  return tag;
}

Int32 BaseObject::GetRenderMode() const { return GetRecord().renderMode; }
void BaseObject::SetRenderMode(Int32 mode) { GetRecord().renderMode = mode; }

// ---- CameraObject

enum : Int32 { CAMERA_FOCUS = 500 };

Bool CameraObject::SetFocus(Float focalLength) {
  GetDataInstance()->SetFloat(CAMERA_FOCUS, focalLength);
  return true;
}

Float CameraObject::GetFocus() const { return GetDataInstance()->GetFloat(CAMERA_FOCUS, 36.0); }

// ---- BaseTag

BaseTag* BaseTag::Alloc(Int32 type) {
  C4DAtom* node = NodeFactory::Create(type);
  if (node && !node->IsInstanceOf(Tbase)) {
    NodeFactory::Destroy(node);
    return nullptr;
  }
  return static_cast<BaseTag*>(node);
}

void BaseTag::Free(BaseTag*& tag) {
  NodeFactory::Destroy(tag);
  tag = nullptr;
}

BaseObject* BaseTag::GetObject() const {
  const NodeRecord& record = GetRecord();
  return record.branch == Branch::Tags ? static_cast<BaseObject*>(record.owner) : nullptr;
}
