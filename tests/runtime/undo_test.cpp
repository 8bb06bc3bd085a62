#include "c4d.h"
#include "runtime/console.h"
#include "runtime/host_state.h"
#include "runtime/plugin_registry.h"
#include "runtime/undo_history.h"
#include "scene/scene_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
constexpr Int32 kNoticeTag = 990002;

// A tag that keeps the undo notices it is sent.
class NoticeTag : public TagData {
 public:
  static NodeData* Alloc() { return new NoticeTag(); }
  Bool Message(GeListNode*, Int32 type, void* data) override {
    if (type == MSG_UNDO_NOTICE) notices.push_back(static_cast<DocumentInfoData*>(data)->type);
    return true;
  }
  std::vector<Int32> notices;
};

class UndoTest : public testing::Test {
 protected:
  void SetUp() override {
    console::SetEcho(false);
    console::Clear();
    ASSERT_TRUE(RegisterTagPlugin(kNoticeTag, "Notice", TAG_VISIBLE, NoticeTag::Alloc, "Notice", nullptr, 0));
    doc = BaseDocument::Alloc();
  }
  void TearDown() override {
    BaseDocument::Free(doc);
    PluginRegistry::Instance().Clear();
    host_state::Reset();
  }
  BaseObject* AddNamed(Int32 type, const char* name, BaseObject* pred = nullptr) {
    BaseObject* object = BaseObject::Alloc(type);
    object->SetName(name);
    doc->InsertObject(object, nullptr, pred);
    return object;
  }
  std::vector<BaseObject*> Objects() const {
    std::vector<BaseObject*> objects;
    for (BaseObject* object = doc->GetFirstObject(); object; object = object->GetNext())
      objects.push_back(object);
    return objects;
  }
  static bool ConsoleHas(const std::string& text) {
    const std::vector<std::string> lines = console::Lines();
    return std::ranges::any_of(lines,
                               [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }
  BaseDocument* doc = nullptr;
};
}  // namespace

TEST_F(UndoTest, UndoTakesNewNodesOutAndRedoPutsTheSameNodesBackInTheirPlaces) {
  BaseObject* a = AddNamed(Onull, "a");
  BaseObject* c = AddNamed(Onull, "c", a);
  const std::string before = SceneTree(*doc);

  ASSERT_TRUE(doc->StartUndo());
  BaseObject* b = AddNamed(Ocamera, "b", a);  // between a and c
  BaseTag* tag = b->MakeTag(kNoticeTag);
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
            before.substr(0, before.find("  redo steps")) + "  redo steps: 1\n    1: new b, new Notice\n");

  ASSERT_TRUE(doc->DoRedo());
  EXPECT_EQ(Objects(), (std::vector<BaseObject*>{a, b, c}));
  EXPECT_EQ(b->GetFirstTag(), tag);
  EXPECT_EQ(doc->GetActiveTag(), tag);
  EXPECT_EQ(SceneTree(*doc), after);
  // The redone tag heard about both.
  EXPECT_EQ(tag->GetNodeData<NoticeTag>()->notices, (std::vector<Int32>{MSG_DOCUMENTINFO_TYPE_REDO}));
}

TEST_F(UndoTest, ChangeSwapsContainerNameAndPlacementBothWays) {
  BaseObject* a = AddNamed(Onull, "a");
  BaseObject* b = AddNamed(Onull, "b", a);
  BaseTag* tag = a->MakeTag(kNoticeTag);
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
  EXPECT_EQ(tag->GetNodeData<NoticeTag>()->notices, (std::vector<Int32>{MSG_DOCUMENTINFO_TYPE_UNDO}));

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
  BaseTag* a = AddNamed(Onull, "a")->MakeTag(kNoticeTag);
  BaseTag* b = AddNamed(Onull, "b")->MakeTag(kNoticeTag);
  doc->SetActiveTag(a, SELECTION_NEW);
  doc->SetActiveTag(b, SELECTION_ADD);
  EXPECT_TRUE(a->GetBit(BIT_ACTIVE) && b->GetBit(BIT_ACTIVE));
  doc->SetActiveTag(b, SELECTION_SUB);
  EXPECT_FALSE(b->GetBit(BIT_ACTIVE));
  EXPECT_EQ(doc->GetActiveTag(), nullptr);
  doc->SetActiveTag(b, 7);
  EXPECT_TRUE(ConsoleHas("SetActiveTag refused: selection mode 7"));

  ASSERT_TRUE(doc->StartUndo());
  BaseTag* c = AddNamed(Onull, "c")->MakeTag(kNoticeTag);
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

TEST_F(UndoTest, PlacementKeepsTheAnglesItWasGivenAndAScale) {
  BaseObject* a = AddNamed(Onull, "a");
  a->SetRelScale(Vector(2.0, 3.0, 4.0));
  a->SetRelRot(Vector(3.0, 0.4, -2.0));
  EXPECT_EQ(a->GetRelRot(), Vector(3.0, 0.4, -2.0));
  EXPECT_NEAR(a->GetRelScale().y, 3.0, 1e-12);
  a->SetMl(a->GetMl());  // angles read back from a matrix
  EXPECT_NEAR(a->GetRelRot().x, 3.0, 1e-9);
  EXPECT_NEAR(a->GetRelRot().z, -2.0, 1e-9);
}
