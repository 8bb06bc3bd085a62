#include "c4d_gedata.h"
#include "c4d_nodes.h"
#include "node_record.h"

// ---- BaseLink

BaseLink::BaseLink(BaseList2D* node) {
  if (node) node_ = node->GetRecord().aliveToken;
}

BaseList2D* BaseLink::GetLink() const {
  const auto token = node_.lock();
  return token ? static_cast<BaseList2D*>(*token) : nullptr;
}

// ---- GeData

GeData::GeData(const BaseContainer& value) : value_(std::make_shared<const BaseContainer>(value)) {}

GeData::GeData(Int32 customType, const CustomDataType& value) { SetCustomDataType(customType, value); }

GeData::GeData(const GeData& other) = default;
GeData& GeData::operator=(const GeData& other) = default;
GeData::~GeData() = default;

Int32 GeData::GetType() const {
  static constexpr Int32 kTypes[] = {DA_NIL,       DA_LONG,      DA_REAL,          DA_VECTOR,
                                     DA_MATRIX,    DA_STRING,    DA_FILENAME,      DA_TIME,
                                     DA_CONTAINER, DA_ALIASLINK, DA_CUSTOMDATATYPE};
  const Int32 type = kTypes[value_.index()];
  if (type == DA_CUSTOMDATATYPE) return std::get<Custom>(value_).type;
  return type;
}

namespace {
template <typename T, typename Variant>
T ValueOr(const Variant& value, T fallback) {
  const T* held = std::get_if<T>(&value);
  return held ? *held : fallback;
}
}  // namespace

Int32 GeData::GetInt32() const {
  if (const Float* real = std::get_if<Float>(&value_)) return static_cast<Int32>(*real);
  return ValueOr<Int32>(value_, 0);
}

Float GeData::GetFloat() const {
  if (const Int32* integer = std::get_if<Int32>(&value_)) return *integer;
  return ValueOr<Float>(value_, 0.0);
}

Vector GeData::GetVector() const { return ValueOr<Vector>(value_, Vector()); }
Matrix GeData::GetMatrix() const { return ValueOr<Matrix>(value_, Matrix()); }
String GeData::GetString() const { return ValueOr<String>(value_, String()); }

Filename GeData::GetFilename() const {
  if (const String* text = std::get_if<String>(&value_)) return Filename(*text);
  return ValueOr<Filename>(value_, Filename());
}

BaseTime GeData::GetTime() const { return ValueOr<BaseTime>(value_, BaseTime()); }

const BaseContainer* GeData::GetContainer() const {
  const auto* held = std::get_if<std::shared_ptr<const BaseContainer>>(&value_);
  return held ? held->get() : nullptr;
}

BaseList2D* GeData::GetLink(const BaseDocument* /*doc*/, Int32 instanceOf) const {
  const BaseLink* link = std::get_if<BaseLink>(&value_);
  BaseList2D* node = link ? link->GetLink() : nullptr;
  if (node && instanceOf != 0 && !node->IsInstanceOf(instanceOf)) return nullptr;
  return node;
}

const CustomDataType* GeData::GetCustomDataType(Int32 customType) const {
  const Custom* custom = std::get_if<Custom>(&value_);
  return custom && custom->type == customType ? custom->data.get() : nullptr;
}

void GeData::SetLink(BaseList2D* node) { value_ = BaseLink(node); }

void GeData::SetCustomDataType(Int32 customType, const CustomDataType& value) {
  value_ = Custom{customType, std::shared_ptr<const CustomDataType>(value.Clone())};
}

bool GeData::operator==(const GeData& other) const {
  if (value_.index() != other.value_.index()) return false;
  if (const auto* container = std::get_if<std::shared_ptr<const BaseContainer>>(&value_))
    return **container == *other.GetContainer();
  return value_ == other.value_;
}

// ---- BaseContainer

const GeData* BaseContainer::GetDataPointer(Int32 id) const {
  const auto found = values_.find(id);
  return found == values_.end() ? nullptr : &found->second;
}

const GeData& BaseContainer::GetData(Int32 id) const {
  static const GeData kNil;
  const GeData* data = GetDataPointer(id);
  return data ? *data : kNil;
}

Bool BaseContainer::GetBool(Int32 id, Bool preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetBool() : preset;
}

Int32 BaseContainer::GetInt32(Int32 id, Int32 preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetInt32() : preset;
}

Float BaseContainer::GetFloat(Int32 id, Float preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetFloat() : preset;
}

Vector BaseContainer::GetVector(Int32 id, const Vector& preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetVector() : preset;
}

Matrix BaseContainer::GetMatrix(Int32 id, const Matrix& preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetMatrix() : preset;
}

String BaseContainer::GetString(Int32 id, const String& preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetString() : preset;
}

Filename BaseContainer::GetFilename(Int32 id, const Filename& preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetFilename() : preset;
}

BaseTime BaseContainer::GetTime(Int32 id, const BaseTime& preset) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetTime() : preset;
}

BaseContainer BaseContainer::GetContainer(Int32 id) const {
  const GeData* data = GetDataPointer(id);
  const BaseContainer* container = data ? data->GetContainer() : nullptr;
  return container ? *container : BaseContainer();
}

BaseList2D* BaseContainer::GetLink(Int32 id, const BaseDocument* doc, Int32 instanceOf) const {
  const GeData* data = GetDataPointer(id);
  return data ? data->GetLink(doc, instanceOf) : nullptr;
}

void BaseContainer::SetLink(Int32 id, BaseList2D* node) {
  GeData data;
  data.SetLink(node);
  SetData(id, data);
}

void BaseContainer::SetData(Int32 id, const GeData& value) { values_[id] = value; }

Bool BaseContainer::RemoveData(Int32 id) { return values_.erase(id) > 0; }

void BaseContainer::MergeContainer(const BaseContainer& other) {
  for (const auto& [id, value] : other.values_) values_[id] = value;
}

Int32 BaseContainer::GetIndexId(Int32 index) const {
  if (index < 0 || index >= GetCount()) return NOTOK;
  return std::next(values_.begin(), index)->first;
}
