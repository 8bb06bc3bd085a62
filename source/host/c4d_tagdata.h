#pragma once

#include "c4d_nodedata.h"

class BaseDraw;
class BaseDrawHelp;

enum DRAWRESULT : Int32 { DRAWRESULT_ERROR = 0, DRAWRESULT_OK = 1, DRAWRESULT_SKIP = 2 };
enum EXECUTIONRESULT : Int32 {
  EXECUTIONRESULT_OK = 0,
  EXECUTIONRESULT_USERBREAK = 1,
  EXECUTIONRESULT_OUTOFMEMORY = 2
};
enum EXECUTIONFLAGS : Int32 { EXECUTIONFLAGS_0 = 0 };

// Tag info flags given at registration.
enum : Int32 { TAG_VISIBLE = 1, TAG_MULTIPLE = 2, TAG_EXPRESSION = 8 };

// Expression priority of a tag: parameter ID and the camera-dependent mode.
enum : Int32 { EXPRESSION_PRIORITY = 1000998, PRIORITYVALUE_CAMERADEPENDENT = 2 };
enum : Int32 { CUSTOMDATATYPE_PRIORITY = 1009369 };

// Value of a tag's priority parameter.
class PriorityData : public CustomDataType {
 public:
  Int32 GetCustomTypeId() const override { return CUSTOMDATATYPE_PRIORITY; }
  std::unique_ptr<CustomDataType> Clone() const override { return std::make_unique<PriorityData>(*this); }
  void SetPriorityValue(Int32 id, const GeData& value);
  GeData GetPriorityValue(Int32 id) const;

 private:
  BaseContainer values_;
};

// Data of a tag: drawn in the viewport and run as an expression on scene evaluation.
class TagData : public NodeData {
 public:
  virtual Bool Draw(BaseTag* tag, BaseObject* object, BaseDraw* view, BaseDrawHelp* help);
  virtual EXECUTIONRESULT Execute(BaseTag* tag, BaseDocument* doc, BaseObject* object, BaseThread* thread,
                                  Int32 priority, EXECUTIONFLAGS flags);
};
