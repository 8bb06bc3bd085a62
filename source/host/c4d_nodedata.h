#pragma once

#include "c4d_nodes.h"

class Description;

// Base of every plugin node's data. The host calls these; the defaults do the host's plain work.
class NodeData {
 public:
  NodeData() = default;
  virtual ~NodeData();
  NodeData(const NodeData&) = delete;
  NodeData& operator=(const NodeData&) = delete;

  virtual Bool Init(GeListNode* node);
  virtual void Free(GeListNode* node);
  virtual Bool Message(GeListNode* node, Int32 type, void* data);
  virtual Bool GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags);
  virtual Bool GetDParameter(GeListNode* node, const DescID& id, GeData& data, DESCFLAGS_GET& flags);
  virtual Bool SetDParameter(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_SET& flags);
  virtual Bool GetDEnabling(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_ENABLE flags,
                            const BaseContainer* itemDescription);
  virtual Bool CopyTo(NodeData* destination, GeListNode* source, GeListNode* destinationNode);

  // The host node this data belongs to (set by the host when it creates the node).
  GeListNode* Get() const { return node_; }
  void SetNode(GeListNode* node) { node_ = node; }

 private:
  GeListNode* node_ = nullptr;
};

// Data of a post-set message: its first field points to the parameter's ID.
struct DescriptionPostSetValue {
  const DescID* descid = nullptr;
  Bool* userInteraction = nullptr;
};

// Data of a button-press message: the button's ID first.
struct DescriptionCommand {
  DescID id;
};

class BaseBitmap;
// Data of a description-bitmap request: the element's ID, then the slot the bitmap is handed back in.
struct DescriptionGetBitmap {
  DescID id;
  BaseBitmap* bmp = nullptr;
};

// Data of the host's render notification: the document, then the start and external flags.
struct RenderNotificationData {
  BaseDocument* doc = nullptr;
  Bool start = false;
  Bool external = false;
};

// Data of a custom-icon request.
struct IconData {
  BaseBitmap* bmp = nullptr;
  Int32 x = 0;
  Int32 y = 0;
  Int32 w = 0;
  Int32 h = 0;
};
struct GetCustomIconData {
  IconData* dat = nullptr;
  Bool filled = false;
};

// Value of a bitmap-button parameter: which node and element the bitmap belongs to.
class BitmapButtonStruct : public CustomDataType {
 public:
  BitmapButtonStruct() = default;
  BitmapButtonStruct(BaseList2D* nodeValue, const DescID& idValue, Int32 dirtyValue)
      : node(nodeValue), id(idValue), dirty(dirtyValue) {}
  Int32 GetCustomTypeId() const override { return CUSTOMDATATYPE_BITMAPBUTTON; }
  std::unique_ptr<CustomDataType> Clone() const override {
    return std::make_unique<BitmapButtonStruct>(*this);
  }

  BaseList2D* node = nullptr;
  DescID id;
  Int32 dirty = 0;
};
