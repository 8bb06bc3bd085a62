#pragma once

#include "c4d.h"
#include "orvex360camvp/render_state.h"

// Fulldome overlays (mask image, logo and title, render information, credits, timecode and frame
// counter), laid into the corners outside the dome circle. The render pipeline runs the three steps
// at sequence start, camera start and camera end.
namespace overlays {

// Reads the overlay settings and loads the logo and mask images for the sequence.
void Load(RenderState& state, const BaseContainer& effectSettings, BaseDocument* doc,
          const BaseContainer& renderSettings);

// Places the dome and its four corner squares in the area of the camera about to render.
void Geometry(RenderState& state);

// Draws the overlays of the camera just rendered into the view; only fisheye renders that are not
// editor renders get them.
void Draw(RenderState& state, BaseDraw* view, const BaseTime& time);

}  // namespace overlays
