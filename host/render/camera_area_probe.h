#pragma once

#include "camera_image.h"

// Where a camera of a multi-camera frame may answer, found before its first render would ask the
// lens for every pixel of the frame (a cube face's camera refuses five sixths of them): the lens is
// asked on a grid of every kProbePitch-th pixel, the rectangle around the answers grown by a pitch,
// and then every pixel of the ring just outside that rectangle. The rectangle is vouched for only
// when nothing in the ring answers; else, and when the grid met no answer at all, the whole frame.
//
// A region the lens answers is missed only when it lies wholly between the grid's points (narrower
// than a pitch) and apart from every other: no camera of a layout answers such a sliver.
inline constexpr Int32 kProbePitch = 8;

PixelWindow ProbeAnsweredWindow(const CameraPass& pass, Int32 width, Int32 height);
