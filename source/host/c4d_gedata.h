#pragma once

#include "c4d_math.h"
#include "c4d_string.h"

#include <map>
#include <memory>
#include <variant>
#include <vector>

class C4DAtom;
class BaseList2D;
class BaseDocument;
class BaseContainer;

// Value kinds a GeData can hold.
enum : Int32 {
  DA_NIL = 0,
  DA_LONG = 15,
  DA_REAL = 19,
  DA_TIME = 22,
  DA_VECTOR = 23,
  DA_MATRIX = 25,
  DA_CONTAINER = 27,
  DA_ALIASLINK = 133,
  DA_STRING = 130,
  DA_FILENAME = 131,
  DA_CUSTOMDATATYPE = 1000000,
};

// Base of the host's custom data values (bitmap buttons, links to shaders...).
class CustomDataType {
 public:
  virtual ~CustomDataType() = default;
  virtual Int32 GetCustomTypeId() const = 0;
  virtual std::unique_ptr<CustomDataType> Clone() const = 0;
};

// Weak reference to a node: resolves to null once the node is gone.
class BaseLink {
 public:
  BaseLink() = default;
  explicit BaseLink(BaseList2D* node);
  BaseList2D* GetLink() const;
  bool operator==(const BaseLink& other) const { return GetLink() == other.GetLink(); }

 private:
  std::weak_ptr<C4DAtom*> node_;
};

// A variant parameter value. Bool values are stored as Int32, as the host does.
class GeData {
 public:
  GeData() = default;
  GeData(Int32 value) : value_(value) {}
  GeData(Bool value) : value_(static_cast<Int32>(value)) {}
  GeData(Float value) : value_(value) {}
  GeData(const Vector& value) : value_(value) {}
  GeData(const Matrix& value) : value_(value) {}
  GeData(const String& value) : value_(value) {}
  GeData(const char* value) : value_(String(value)) {}
  GeData(const Filename& value) : value_(value) {}
  GeData(const BaseTime& value) : value_(value) {}
  GeData(const BaseContainer& value);
  GeData(Int32 customType, const CustomDataType& value);
  GeData(const GeData& other);
  GeData(GeData&&) noexcept = default;
  GeData& operator=(const GeData& other);
  GeData& operator=(GeData&&) noexcept = default;
  ~GeData();

  Int32 GetType() const;
  Bool IsNil() const { return GetType() == DA_NIL; }

  Bool GetBool() const { return GetInt32() != 0; }
  Int32 GetInt32() const;
  Float GetFloat() const;
  Vector GetVector() const;
  Matrix GetMatrix() const;
  String GetString() const;
  Filename GetFilename() const;
  BaseTime GetTime() const;
  const BaseContainer* GetContainer() const;
  BaseList2D* GetLink(const BaseDocument* doc = nullptr, Int32 instanceOf = 0) const;
  const CustomDataType* GetCustomDataType(Int32 customType) const;

  void SetLink(BaseList2D* node);
  void SetCustomDataType(Int32 customType, const CustomDataType& value);

  bool operator==(const GeData& other) const;

 private:
  struct Custom {
    Int32 type = 0;
    std::shared_ptr<const CustomDataType> data;
    bool operator==(const Custom& other) const = default;
  };
  using Value = std::variant<std::monostate, Int32, Float, Vector, Matrix, String, Filename, BaseTime,
                             std::shared_ptr<const BaseContainer>, BaseLink, Custom>;
  Value value_;
};

// A parameter ID; the module uses single-level IDs only.
class DescID {
 public:
  DescID() = default;
  DescID(Int32 id) : id_(id) {}
  Int32 operator[](Int32 level) const { return level == 0 ? id_ : 0; }
  Int32 GetDepth() const { return id_ == 0 ? 0 : 1; }
  bool operator==(const DescID& other) const = default;

 private:
  Int32 id_ = 0;
};

// Typed parameter values by Int32 ID; every getter answers its default for a missing ID.
class BaseContainer {
 public:
  BaseContainer() = default;
  explicit BaseContainer(Int32 id) : id_(id) {}

  Int32 GetId() const { return id_; }
  void SetId(Int32 id) { id_ = id; }

  Bool GetBool(Int32 id, Bool preset = false) const;
  Int32 GetInt32(Int32 id, Int32 preset = 0) const;
  Float GetFloat(Int32 id, Float preset = 0.0) const;
  Vector GetVector(Int32 id, const Vector& preset = Vector()) const;
  Matrix GetMatrix(Int32 id, const Matrix& preset = Matrix()) const;
  String GetString(Int32 id, const String& preset = String()) const;
  Filename GetFilename(Int32 id, const Filename& preset = Filename()) const;
  BaseTime GetTime(Int32 id, const BaseTime& preset = BaseTime()) const;
  BaseContainer GetContainer(Int32 id) const;
  BaseList2D* GetLink(Int32 id, const BaseDocument* doc = nullptr, Int32 instanceOf = 0) const;
  const GeData* GetDataPointer(Int32 id) const;
  const GeData& GetData(Int32 id) const;

  void SetBool(Int32 id, Bool value) { SetData(id, GeData(value)); }
  void SetInt32(Int32 id, Int32 value) { SetData(id, GeData(value)); }
  void SetFloat(Int32 id, Float value) { SetData(id, GeData(value)); }
  void SetVector(Int32 id, const Vector& value) { SetData(id, GeData(value)); }
  void SetMatrix(Int32 id, const Matrix& value) { SetData(id, GeData(value)); }
  void SetString(Int32 id, const String& value) { SetData(id, GeData(value)); }
  void SetFilename(Int32 id, const Filename& value) { SetData(id, GeData(value)); }
  void SetTime(Int32 id, const BaseTime& value) { SetData(id, GeData(value)); }
  void SetContainer(Int32 id, const BaseContainer& value) { SetData(id, GeData(value)); }
  void SetLink(Int32 id, BaseList2D* node);
  void SetData(Int32 id, const GeData& value);

  Bool RemoveData(Int32 id);
  void FlushAll() { values_.clear(); }
  // Copies every value of `other` into this container, replacing equal IDs.
  void MergeContainer(const BaseContainer& other);

  // Enumeration in ascending ID order; returns NOTOK past the end.
  Int32 GetIndexId(Int32 index) const;
  Int32 GetCount() const { return static_cast<Int32>(values_.size()); }

  bool operator==(const BaseContainer& other) const = default;

 private:
  Int32 id_ = 0;
  std::map<Int32, GeData> values_;
};

constexpr Int32 NOTOK = -1;
