#pragma once

#include "module_render_fixture.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"
#include "scene/object_params.h"

#include <gtest/gtest.h>

#include <cmath>

// Stereo renders of a panorama camera at the origin with boxes close around it, so that the two
// eyes see clearly different images; each eye can also be rendered alone (single-eye output).
class StereoRender : public ModuleRender {
 protected:
  static constexpr Int32 kLeft = 0;
  static constexpr Int32 kRight = 1;

  void SetUpScene(CameraKind kind, Int32 width, Int32 height) {
    AddCamera(kind, width, height);
    Settings().SetBool(RDATA_STEREO, true);
    SetTag(ORVEXTAG_EYE_SEPARATION, GeData(30.0));
    AddBox(Vector(0.0, 0.0, 80.0), Vector(30.0, 60.0, 20.0), Vector(0.9, 0.2, 0.1));
    AddBox(Vector(70.0, 20.0, 0.0), Vector(20.0, 80.0, 40.0), Vector(0.1, 0.8, 0.2));
    AddBox(Vector(-50.0, -10.0, -60.0), Vector(40.0, 40.0, 40.0), Vector(0.2, 0.3, 0.9));
  }

  BaseObject* AddBox(const Vector& position, const Vector& size, const Vector& colour) {
    BaseObject* box = BaseObject::Alloc(Ocube);
    box->GetDataInstance()->SetVector(PRIM_CUBE_LEN, size);
    box->GetDataInstance()->SetVector(OBJECT_COLOR, colour);
    Matrix placement;
    placement.offset = position;
    box->SetMl(placement);
    doc_->InsertObject(box, nullptr);
    return box;
  }

  // One eye alone at this size, through the single-eye output; the settings are restored after.
  FloatImage RenderEye(Int32 eye, Int32 width, Int32 height, Int32 samples = 1) {
    const BaseContainer effect = *Effect()->GetDataInstance();
    const BaseContainer settings = Settings();
    SetEffect(ORVEXVP_STEREO_MODE, GeData(ORVEXVP_STEREO_MODE_SINGLE_EYE));
    SetEffect(ORVEXVP_SINGLE_EYE, GeData(eye));
    SetSize(width, height);
    FloatImage image = Render(false, samples);
    Effect()->SetData(effect, false);
    Settings() = settings;
    return image;
  }

  // The frame's pixels from (x0, y0) on show `eye` (mirrored as asked) pixel for pixel.
  static void ExpectShows(const FloatImage& frame, Int32 x0, Int32 y0, const FloatImage& eye,
                          bool flipU = false, bool flipV = false) {
    EXPECT_EQ(render_test::DifferentValues(frame, x0, y0, eye, flipU, flipV), 0)
        << "region at " << x0 << "," << y0;
  }

  // How many values of two same-size images differ.
  static int DifferentPixels(const FloatImage& a, const FloatImage& b) {
    return render_test::DifferentValues(a, 0, 0, b);
  }
};
