#include "c4d.h"
#include "runtime/console.h"
#include "runtime/host_state.h"
#include "runtime/plugin_registry.h"
#include "runtime/undo_history.h"
#include "scene/scene_tree.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <vector>

// Nodes (parameters, the object tree, tags, clones, registration) and the document's undo history.

namespace {
constexpr Int32 kProbeTag = 990001;
constexpr Int32 kParameter = 1000;

// A tag that records which of its operations the host called and the undo notices it was sent.
class ProbeTag : public TagData {
 public:
  static NodeData* Alloc() { return new ProbeTag(); }
  Bool Init(GeListNode* node) override {
    ++inits;
    static_cast<BaseList2D*>(node)->GetDataInstance()->SetInt32(kParameter, 7);
    return true;
  }
  Bool GetDParameter(GeListNode*, const DescID& id, GeData& data, DESCFLAGS_GET& flags) override {
    calls.push_back("get");
    if (id[0] == 2000) {
      data = GeData(Int32(99));
      flags = flags | DESCFLAGS_GET_PARAM_GET;
    }
    return true;
  }
  Bool SetDParameter(GeListNode*, const DescID& id, const GeData&, DESCFLAGS_SET& flags) override {
    calls.push_back("set " + std::to_string(id[0]) +
                    ((flags & DESCFLAGS_SET_USERINTERACTION) ? " user" : ""));
    return true;
  }
  Bool Message(GeListNode*, Int32 type, void* data) override {
    if (type == MSG_DESCRIPTION_POSTSETPARAMETER)
      calls.push_back("post-set " +
                      std::to_string((*static_cast<DescriptionPostSetValue*>(data)->descid)[0]));
    if (type == MSG_UNDO_NOTICE) notices.push_back(static_cast<DocumentInfoData*>(data)->type);
    return true;
  }
  std::vector<std::string> calls;
  std::vector<Int32> notices;
  Int32 inits = 0;
};

class NodeTest : public testing::Test {
 protected:
  void SetUp() override {
    console::SetEcho(false);
    console::Clear();
    ASSERT_TRUE(RegisterTagPlugin(kProbeTag, "Probe", TAG_VISIBLE, ProbeTag::Alloc, "Probe", nullptr, 0));
    doc = BaseDocument::Alloc();
  }
  void TearDown() override {
    BaseDocument::Free(doc);
    PluginRegistry::Instance().Clear();
    host_state::Reset();
  }
  // A named object inserted under `parent` (at the top when null), after `pred` or first.
  BaseObject* AddNamed(Int32 type, const char* name, BaseObject* parent = nullptr,
                       BaseObject* pred = nullptr) {
    BaseObject* object = BaseObject::Alloc(type);
    object->SetName(name);
    doc->InsertObject(object, parent, pred);
    return object;
  }
  // The top-level objects in order.
  std::vector<BaseObject*> Objects() const {
    std::vector<BaseObject*> objects;
    for (BaseObject* object = doc->GetFirstObject(); object; object = object->GetNext())
      objects.push_back(object);
    return objects;
  }
  BaseDocument* doc = nullptr;
};
using UndoTest = NodeTest;
}  // namespace

// SetParameter goes through the node (then the post-set message), a direct container write does not;
// GetParameter asks the node first and falls back to the container.
TEST_F(NodeTest, ParametersGoThroughTheNodeAndContainerWritesDoNot) {
  BaseTag* tag = BaseTag::Alloc(kProbeTag);
  ASSERT_NE(tag, nullptr);
  auto* probe = tag->GetNodeData<ProbeTag>();
  EXPECT_EQ(tag->GetDataInstance()->GetInt32(kParameter), 7);  // Init ran
  tag->GetDataInstance()->SetInt32(kParameter, 5);
  EXPECT_TRUE(probe->calls.empty());
  EXPECT_TRUE(tag->SetParameter(DescID(kParameter), GeData(Int32(3)), DESCFLAGS_SET_USERINTERACTION));
  EXPECT_EQ(probe->calls, (std::vector<std::string>{"set 1000 user", "post-set 1000"}));
  GeData value;
  EXPECT_TRUE(tag->GetParameter(DescID(2000), value, DESCFLAGS_GET_0));
  EXPECT_EQ(value.GetInt32(), 99);
  EXPECT_TRUE(tag->GetParameter(DescID(kParameter), value, DESCFLAGS_GET_0));
  EXPECT_EQ(value.GetInt32(), 3);
  EXPECT_EQ(probe->calls.size(), 4u);
  BaseTag::Free(tag);
}

TEST_F(NodeTest, ObjectTreeWalksChildrenBeforeTheNextSibling) {
  // Each goes first under its parent.
  BaseObject* b = AddNamed(Onull, "b");
  BaseObject* a = AddNamed(Onull, "a");
  BaseObject* a2 = AddNamed(Ocube, "a2", a);
  BaseObject* a1 = AddNamed(Ocamera, "a1", a);
  EXPECT_EQ(Objects(), (std::vector<BaseObject*>{a, b}));
  EXPECT_EQ((std::vector{a->GetDown(), a1->GetNext(), a2->GetNext()}),
            (std::vector<BaseObject*>{a1, a2, nullptr}));
  EXPECT_EQ(a1->GetDocument(), doc);
  EXPECT_EQ(a1->GetUp(), a);
  EXPECT_EQ(a->GetUp(), nullptr);
}

TEST_F(NodeTest, PlacementComposesTheParentsAndKeepsTheAnglesItWasGivenAndAScale) {
  BaseObject* parent = AddNamed(Onull, "parent");
  BaseObject* child = AddNamed(Onull, "child", parent);
  parent->SetMl(
      Matrix(Vector(10, 0, 0), Vector(0, 0, -1), Vector(0, 1, 0), Vector(1, 0, 0)));  // quarter turn
  child->SetMl(Matrix(Vector(0, 0, 5), Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 1)));
  EXPECT_EQ(child->GetMg().offset, Vector(15, 0, 0));
  child->SetMg(Matrix(Vector(1, 2, 3), Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 1)));
  EXPECT_LT((child->GetMg().offset - Vector(1, 2, 3)).GetLength(), 1e-12);
  // Angles and scale as given, and angles read back from a matrix.
  parent->SetRelScale(Vector(2.0, 3.0, 4.0));
  parent->SetRelRot(Vector(3.0, 0.4, -2.0));
  EXPECT_EQ(parent->GetRelRot(), Vector(3.0, 0.4, -2.0));
  EXPECT_NEAR(parent->GetRelScale().y, 3.0, 1e-12);
  parent->SetMl(parent->GetMl());
  EXPECT_NEAR(parent->GetRelRot().x, 3.0, 1e-9);
  EXPECT_NEAR(parent->GetRelRot().z, -2.0, 1e-9);
}

TEST_F(NodeTest, TagsAreFoundByTypeAndKnowTheirObjectAndTheFirstRenderSettingsBecomeActive) {
  BaseObject* camera = BaseObject::Alloc(Ocamera);
  doc->InsertObject(camera, nullptr);
  BaseTag* first = camera->MakeTag(kProbeTag);
  BaseTag* second = camera->MakeTag(kProbeTag, first);
  EXPECT_EQ(camera->GetTag(kProbeTag), first);
  EXPECT_EQ(camera->GetTag(kProbeTag, 1), second);
  EXPECT_EQ(camera->GetTag(Tprotection), nullptr);
  EXPECT_EQ(first->GetObject(), camera);
  EXPECT_TRUE(first->IsInstanceOf(Tbase));
  EXPECT_EQ(first->GetDocument(), doc);
  // Render settings hold effects; the first inserted becomes the active one.
  RenderData* settings = RenderData::Alloc();
  doc->InsertRenderData(settings);
  EXPECT_EQ(doc->GetActiveRenderData(), settings);
  EXPECT_EQ(settings->GetDataInstance()->GetFloat(RDATA_XRES), 1280.0);
  EXPECT_EQ(settings->GetFirstVideoPost(), nullptr);
}

// Nodes without a plugin take an update (their values changed) and refuse what they cannot act on.
TEST_F(NodeTest, BuiltInNodesTakeAnUpdateAndRefuseAButtonPress) {
  BaseObject* camera = BaseObject::Alloc(Ocamera);
  doc->InsertObject(camera, nullptr);
  const UInt32 before = camera->GetDirty(DIRTYFLAGS_DATA);
  EXPECT_TRUE(camera->Message(MSG_UPDATE));
  EXPECT_EQ(camera->GetDirty(DIRTYFLAGS_DATA), before + 1);
  EXPECT_FALSE(camera->Message(MSG_DESCRIPTION_COMMAND_BUTTON));
  EXPECT_TRUE(ConsoleHas("message 7 to \"Camera\" refused"));
}

TEST_F(NodeTest, CloneCopiesTheContainerAndRunsInit) {
  BaseTag* tag = BaseTag::Alloc(kProbeTag);
  tag->GetDataInstance()->SetInt32(kParameter, 11);
  auto* clone = static_cast<BaseTag*>(tag->GetClone());
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetDataInstance()->GetInt32(kParameter), 11);
  EXPECT_NE(clone->GetNodeData(), tag->GetNodeData());
  EXPECT_EQ(clone->GetNodeData<ProbeTag>()->inits, 1);  // Init first, then the copied values
  BaseTag::Free(clone);
  BaseTag::Free(tag);
}

TEST_F(NodeTest, UnknownTypesAllocateNothingAndDuplicateRegistrationIsRefusedWithALine) {
  EXPECT_EQ(BaseTag::Alloc(424242), nullptr);
  EXPECT_EQ(BaseObject::Alloc(kProbeTag), nullptr);  // a tag type is not an object
  EXPECT_EQ(BaseVideoPost::Alloc(kProbeTag), nullptr);
  EXPECT_FALSE(RegisterTagPlugin(kProbeTag, "Again", 0, ProbeTag::Alloc, "Probe", nullptr, 0));
  EXPECT_TRUE(ConsoleHas("already registered"));
}

TEST_F(UndoTest, UndoTakesNewNodesOutAndRedoPutsTheSameNodesBackInTheirPlaces) {
  BaseObject* a = AddNamed(Onull, "a");
  BaseObject* c = AddNamed(Onull, "c", nullptr, a);
  const std::string before = SceneTree(*doc);

  ASSERT_TRUE(doc->StartUndo());
  BaseObject* b = AddNamed(Ocamera, "b", nullptr, a);  // between a and c
  BaseTag* tag = b->MakeTag(kProbeTag);
  doc->SetActiveTag(tag);
  EXPECT_TRUE(doc->AddUndo(UNDOTYPE_NEW, b));
  EXPECT_TRUE(doc->AddUndo(UNDOTYPE_NEW, tag));
  ASSERT_TRUE(doc->EndUndo());
  const std::string after = SceneTree(*doc);

  ASSERT_TRUE(doc->DoUndo());
  EXPECT_EQ(Objects(), (std::vector<BaseObject*>{a, c}));
  EXPECT_EQ(tag->GetObject(), nullptr);
  EXPECT_EQ(doc->GetActiveTag(), nullptr);
  EXPECT_EQ(SceneTree(*doc),
            before.substr(0, before.find("  redo steps")) + "  redo steps: 1\n    1: new b, new Probe\n");

  ASSERT_TRUE(doc->DoRedo());
  EXPECT_EQ(Objects(), (std::vector<BaseObject*>{a, b, c}));
  EXPECT_EQ(b->GetFirstTag(), tag);
  EXPECT_EQ(doc->GetActiveTag(), tag);
  EXPECT_EQ(SceneTree(*doc), after);
  // The redone tag heard about both.
  EXPECT_EQ(tag->GetNodeData<ProbeTag>()->notices, (std::vector<Int32>{MSG_DOCUMENTINFO_TYPE_REDO}));
}

TEST_F(UndoTest, ChangeSwapsContainerNameAndPlacementBothWays) {
  BaseObject* a = AddNamed(Onull, "a");
  BaseObject* b = AddNamed(Onull, "b", nullptr, a);
  BaseTag* tag = a->MakeTag(kProbeTag);
  a->SetRelPos(Vector(1.0, 2.0, 3.0));
  a->SetRelRot(Vector(0.1, 0.2, 0.3));
  a->GetDataInstance()->SetInt32(7, 1);

  doc->StartUndo();
  doc->AddUndo(UNDOTYPE_CHANGE, a);
  a->SetName("moved");
  a->SetRelPos(Vector(-5.0, 0.0, 0.0));
  a->SetRelRot(Vector(1.0, 0.0, 0.0));
  a->GetDataInstance()->SetInt32(7, 2);
  a->InsertAfter(b);  // moved in the list too
  doc->EndUndo();

  ASSERT_TRUE(doc->DoUndo());
  EXPECT_EQ(Objects(), (std::vector<BaseObject*>{a, b}));
  EXPECT_EQ(a->GetName().GetStdString(), "a");
  EXPECT_EQ(a->GetRelPos(), Vector(1.0, 2.0, 3.0));
  EXPECT_EQ(a->GetRelRot(), Vector(0.1, 0.2, 0.3));
  EXPECT_EQ(a->GetDataInstance()->GetInt32(7), 1);
  EXPECT_EQ(a->GetFirstTag(), tag);  // the object's tags stay with it
  EXPECT_EQ(tag->GetNodeData<ProbeTag>()->notices, (std::vector<Int32>{MSG_DOCUMENTINFO_TYPE_UNDO}));

  ASSERT_TRUE(doc->DoRedo());
  EXPECT_EQ(Objects(), (std::vector<BaseObject*>{b, a}));
  EXPECT_EQ(a->GetName().GetStdString(), "moved");
  EXPECT_EQ(a->GetRelRot(), Vector(1.0, 0.0, 0.0));
  EXPECT_EQ(a->GetDataInstance()->GetInt32(7), 2);
}

TEST_F(UndoTest, ANewStepDropsTheRedoListAndFreesTheNodesItHeld) {
  doc->StartUndo();
  BaseObject* camera = AddNamed(Ocamera, "camera");
  doc->AddUndo(UNDOTYPE_NEW, camera);
  doc->EndUndo();
  const BaseLink link(camera);
  ASSERT_TRUE(doc->DoUndo());
  EXPECT_EQ(link.GetLink(), camera);  // held for redo

  doc->StartUndo();
  BaseObject* other = AddNamed(Onull, "other");
  doc->AddUndo(UNDOTYPE_NEW, other);
  doc->EndUndo();
  EXPECT_EQ(link.GetLink(), nullptr);
  EXPECT_FALSE(doc->DoRedo());
  EXPECT_TRUE(ConsoleHas("[host] nothing to redo"));
  // Freeing the document frees what an undone step still holds (checked under the sanitizers).
  ASSERT_TRUE(doc->DoUndo());
}

TEST_F(UndoTest, MisuseIsRefusedWithALine) {
  EXPECT_FALSE(doc->DoUndo());
  EXPECT_TRUE(ConsoleHas("[host] nothing to undo"));
  BaseObject* a = AddNamed(Onull, "a");
  EXPECT_FALSE(doc->AddUndo(UNDOTYPE_CHANGE, a));
  EXPECT_FALSE(doc->EndUndo());

  doc->StartUndo();
  EXPECT_FALSE(doc->AddUndo(UNDOTYPE_DELETE, a));
  EXPECT_TRUE(ConsoleHas("undo type 45 is not supported"));
  BaseObject* loose = BaseObject::Alloc(Onull);
  EXPECT_FALSE(doc->AddUndo(UNDOTYPE_NEW, loose));  // not in the document
  BaseObject::Free(loose);
  EXPECT_FALSE(doc->DoUndo());  // a step is open
  // A node given up before the group closes leaves no step behind.
  BaseObject* dropped = AddNamed(Ocamera, "dropped");
  EXPECT_TRUE(doc->AddUndo(UNDOTYPE_NEW, dropped));
  BaseObject::Free(dropped);
  EXPECT_TRUE(doc->EndUndo());
  EXPECT_TRUE(HistoryOf(*doc).UndoSteps().empty());
}

TEST_F(UndoTest, SelectionModesSetTheTagsBitsAndUndoPutsThemBack) {
  BaseTag* a = AddNamed(Onull, "a")->MakeTag(kProbeTag);
  BaseTag* b = AddNamed(Onull, "b")->MakeTag(kProbeTag);
  doc->SetActiveTag(a, SELECTION_NEW);
  doc->SetActiveTag(b, SELECTION_ADD);
  EXPECT_TRUE(a->GetBit(BIT_ACTIVE) && b->GetBit(BIT_ACTIVE));
  doc->SetActiveTag(b, SELECTION_SUB);
  EXPECT_FALSE(b->GetBit(BIT_ACTIVE));
  EXPECT_EQ(doc->GetActiveTag(), nullptr);
  doc->SetActiveTag(b, 7);
  EXPECT_TRUE(ConsoleHas("SetActiveTag refused: selection mode 7"));

  ASSERT_TRUE(doc->StartUndo());
  BaseTag* c = AddNamed(Onull, "c")->MakeTag(kProbeTag);
  doc->AddUndo(UNDOTYPE_NEW, c->GetObject());
  doc->SetActiveTag(c, SELECTION_NEW);  // replaces the selection
  ASSERT_TRUE(doc->EndUndo());
  EXPECT_FALSE(a->GetBit(BIT_ACTIVE));
  ASSERT_TRUE(doc->DoUndo());
  EXPECT_TRUE(a->GetBit(BIT_ACTIVE));
  ASSERT_TRUE(doc->DoRedo());
  EXPECT_FALSE(a->GetBit(BIT_ACTIVE));
  EXPECT_TRUE(c->GetBit(BIT_ACTIVE));
}
