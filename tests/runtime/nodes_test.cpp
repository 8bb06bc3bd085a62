#include "c4d.h"
#include "runtime/console.h"
#include "runtime/host_state.h"
#include "runtime/plugin_registry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
constexpr Int32 kProbeTag = 990001;
constexpr Int32 kParameter = 1000;

// A tag that records which of its operations the host called.
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
    return true;
  }
  std::vector<std::string> calls;
  Int32 inits = 0;
};

class NodeTest : public testing::Test {
 protected:
  void SetUp() override {
    console::SetEcho(false);
    ASSERT_TRUE(RegisterTagPlugin(kProbeTag, "Probe", TAG_VISIBLE, ProbeTag::Alloc, "Probe", nullptr, 0));
    doc = BaseDocument::Alloc();
  }
  void TearDown() override {
    BaseDocument::Free(doc);
    PluginRegistry::Instance().Clear();
    host_state::Reset();
  }
  BaseDocument* doc = nullptr;
};
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
  const auto add = [this](Int32 type, const char* name, BaseObject* parent) {
    BaseObject* object = BaseObject::Alloc(type);
    object->SetName(name);
    doc->InsertObject(object, parent);  // first under its parent
    return object;
  };
  add(Onull, "b", nullptr);
  BaseObject* a = add(Onull, "a", nullptr);
  add(Ocube, "a2", a);
  BaseObject* a1 = add(Ocamera, "a1", a);
  std::vector<std::string> order;
  std::function<void(BaseObject*)> walk = [&](BaseObject* object) {
    for (; object; object = object->GetNext()) {
      order.push_back(object->GetName().GetStdString());
      walk(object->GetDown());
    }
  };
  walk(doc->GetFirstObject());
  EXPECT_EQ(order, (std::vector<std::string>{"a", "a1", "a2", "b"}));
  EXPECT_EQ(a1->GetDocument(), doc);
  EXPECT_EQ(a1->GetUp(), a);
  EXPECT_EQ(a->GetUp(), nullptr);
}

TEST_F(NodeTest, GlobalMatrixComposesTheParents) {
  BaseObject* parent = BaseObject::Alloc(Onull);
  BaseObject* child = BaseObject::Alloc(Onull);
  doc->InsertObject(parent, nullptr);
  doc->InsertObject(child, parent);
  parent->SetMl(
      Matrix(Vector(10, 0, 0), Vector(0, 0, -1), Vector(0, 1, 0), Vector(1, 0, 0)));  // quarter turn
  child->SetMl(Matrix(Vector(0, 0, 5), Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 1)));
  EXPECT_EQ(child->GetMg().offset, Vector(15, 0, 0));
  child->SetMg(Matrix(Vector(1, 2, 3), Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 1)));
  EXPECT_LT((child->GetMg().offset - Vector(1, 2, 3)).GetLength(), 1e-12);
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
  console::Clear();
  EXPECT_FALSE(camera->Message(MSG_DESCRIPTION_COMMAND_BUTTON));
  ASSERT_EQ(console::Lines().size(), 1u);
  EXPECT_NE(console::Lines()[0].find("message 7 to \"Camera\" refused"), std::string::npos);
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
  console::Clear();
  EXPECT_FALSE(RegisterTagPlugin(kProbeTag, "Again", 0, ProbeTag::Alloc, "Probe", nullptr, 0));
  ASSERT_EQ(console::Lines().size(), 1u);
  EXPECT_NE(console::Lines()[0].find("already registered"), std::string::npos);
}
