#include "orvex360camvp/overlays.h"

// The overlays are not drawn yet: every step leaves the render as it is.

namespace overlays {

void Load(RenderState&, const BaseContainer&, BaseDocument*, const BaseContainer&) {}

void Geometry(RenderState&) {}

void Draw(const RenderState&, BaseDraw*, const BaseTime&) {}

}  // namespace overlays
