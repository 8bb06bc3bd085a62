#include "scene/module_nodes.h"
#include "linked_module.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag.h"
#include "orvextag/orvextag_params.h"
#include "runtime/console.h"
#include "runtime/description_symbols.h"

using ModuleNodes = LinkedModuleTest;

// The host learns the module's numbers from its registrations and descriptions, as the module has them.
TEST_F(ModuleNodes, TypesParametersAndChoicesComeFromTheRegisteredDescriptions) {
  EXPECT_EQ(CameraTagType(), ID_ORVEXTAG);
  EXPECT_EQ(EffectType(), ID_ORVEX360CAMVP);
  EXPECT_EQ(TagParameter("ORVEXTAG_PROJECTION"), ORVEXTAG_PROJECTION);
  EXPECT_EQ(EffectParameter("ORVEXVP_CUBE_SLOT3"), ORVEXVP_CUBE_SLOT3);
  EXPECT_EQ(CycleValue(CameraTagType(), "ORVEXTAG_PROJECTION", "Cubemap"), ORVEXTAG_PROJECTION_CUBEMAP);
  EXPECT_EQ(CycleValue(EffectType(), "ORVEXVP_STEREO_MODE", "Single eye"), ORVEXVP_STEREO_MODE_SINGLE_EYE);
}

TEST_F(ModuleNodes, WhatTheModuleLacksIsRefusedWithItsName) {
  console::Clear();
  EXPECT_EQ(TagParameter("ORVEXTAG_NO_SUCH"), kUnknownSymbol);
  EXPECT_TRUE(ConsoleHas("\"OrvexTag\" has no parameter ORVEXTAG_NO_SUCH"));
  EXPECT_EQ(CycleValue(CameraTagType(), "ORVEXTAG_PROJECTION", "Octahedron"), kUnknownSymbol);
  EXPECT_TRUE(ConsoleHas("has no entry \"Octahedron\""));
  EXPECT_EQ(RegisteredNodeType("NoSuchDescription"), 0);
}
