#pragma once

#include "c4d.h"
#include "canvas/view_camera.h"
#include "canvas/view_canvas.h"
#include "undo_history.h"

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class DocumentAnimation;
struct PolygonMesh;

// State only documents have.
struct DocumentState {
  RenderData* activeRenderData = nullptr;
  BaseDraw* view = nullptr;  // owned: the document's one viewport
  BaseTime time;
  Int32 fps = 30;
  BaseLink activeObject;
  BaseLink activeTag;
  UndoHistory undo;
  std::vector<std::shared_ptr<DocumentAnimation>> animations;  // applied when the scene is evaluated
};

// State only views have.
struct ViewState {
  BaseLink sceneCamera;
  Bool alternateRenderState = false;
  Int32 width = 1280;
  Int32 height = 720;
  ViewCanvas canvas;
  paint::ViewCamera editorCamera;  // where the view looks from while no scene camera is linked
};

// What a shader's InitRender built (shader_program.h); deleted where the type is complete.
class ShaderProgram;
struct ShaderProgramDeleter {
  void operator()(ShaderProgram* program) const;
};

// The lists a node can hold other nodes in.
enum class Branch : Int32 { Children = 0, Tags, VideoPosts, Objects, RenderData, Shaders, Count };

// Everything the host keeps about a node; the module sees only the node's methods.
struct NodeRecord {
  explicit NodeRecord(Int32 nodeType) : type(nodeType) {}
  ~NodeRecord();

  Int32 type;
  String name;
  BaseContainer data;
  NodeData* nodeData = nullptr;  // owned; created by the plugin's factory
  Int32 bits = 0;
  UInt32 dataDirty = 0;
  UInt32 descriptionDirty = 0;

  // Place in its owner's branch.
  GeListNode* owner = nullptr;
  Branch branch = Branch::Children;
  GeListNode* next = nullptr;
  GeListNode* pred = nullptr;
  std::array<GeListNode*, static_cast<size_t>(Branch::Count)> first{};

  // Weak-link target: links hold a weak reference to this token.
  std::shared_ptr<C4DAtom*> aliveToken;

  // Expression tags: the host's priority parameter (EXPRESSION_PRIORITY), kept outside `data`.
  std::unique_ptr<PriorityData> priority;

  // Objects.
  Matrix local;
  Vector rotation;  // heading, pitch, bank of `local` as last set or derived
  Int32 renderMode = MODE_UNDEF;

  std::unique_ptr<DocumentState> document;
  std::shared_ptr<const PolygonMesh> polygonMesh;  // a polygon object's points and triangles
  std::unique_ptr<ViewState> view;

  // Shaders: set by InitRender, cleared by FreeRender; clones start without one.
  std::unique_ptr<ShaderProgram, ShaderProgramDeleter> shaderProgram;
};

inline GeListNode*& FirstIn(NodeRecord& record, Branch branch) {
  return record.first[static_cast<size_t>(branch)];
}

// Creates nodes of the right class and attaches their plugin data through the registered factory.
struct NodeFactory {
  static C4DAtom* Create(Int32 type);
  static void Destroy(C4DAtom* node);

 private:
  static C4DAtom* CreatePlugin(Int32 type);
};

// Links a node into an owner's branch after `pred` (first when null), or at the branch's end.
void InsertIntoBranch(GeListNode* node, GeListNode* owner, Branch branch, GeListNode* pred);
void AppendToBranch(GeListNode* node, GeListNode* owner, Branch branch);

// Visits every tag on `first`, on its children and on the objects after it, children before the
// next sibling (the order of scene evaluation).
void ForEachTag(BaseObject* first, const std::function<void(BaseObject& object, BaseTag& tag)>& visit);

// Whether a built-in node type derives from `base` (Obase, Tbase, Xbase).
Bool IsBuiltinInstance(Int32 type, Int32 base);
