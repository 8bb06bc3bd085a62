#include "lens_cubemap.h"

#include "choice_words.h"
#include "lens_probe.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// The cubemap as the module's lens lays it out, found by asking the lens (the host keeps no copy of
// the module's layouts): each face camera looks straight along its face's axis at the centre of its
// cell and nowhere else, so among the grids of up to 6 x 6 cells over camera 0's eye the fewest cells
// in which every face camera has exactly one such centre, each cell at most one, is the layout.
// The face's turn in its cell follows from where the lens looks a quarter cell right of the centre,
// read with the cube faces of the file's vocabulary (the preview's viewer reads them the same way).
namespace {

constexpr Int32 kMaxCells = 6;
constexpr Float kAxisCosine = 0.996;  // within about 5 degrees of a cube axis

struct Grid {
  Int32 columns = 0;
  Int32 rows = 0;
  Int32 Cells() const { return columns * rows; }
};

// Candidate grids, fewest cells first.
std::vector<Grid> Candidates() {
  std::vector<Grid> grids;
  for (Int32 columns = 1; columns <= kMaxCells; ++columns)
    for (Int32 rows = 1; rows <= kMaxCells; ++rows) grids.push_back({columns, rows});
  std::stable_sort(grids.begin(), grids.end(),
                   [](const Grid& a, const Grid& b) { return a.Cells() < b.Cells(); });
  return grids;
}

// Where one face camera looks at a candidate cell (camera frame): at its centre and a quarter cell
// to the right; zero where it gives no ray.
struct Look {
  Vector centre;
  Vector right;
};

// A world direction in the camera's frame (its axes square, as a camera's are).
Vector InCameraFrame(const Matrix& camera, const Vector& d) {
  const auto along = [&d](const Vector& axis) {
    const Float length = axis.GetLength();
    return length > 0.0 ? Dot(d, axis) / length : 0.0;
  };
  return Vector(along(camera.axisX), along(camera.axisY), along(camera.axisZ));
}

// The face (0 left, 1 right, 2 down, 3 up, 4 back, 5 front) a direction looks straight at, or -1.
Int32 FaceAhead(const Vector& h) {
  const Float length = h.GetLength();
  if (!(length > 0.0)) return -1;
  const Vector a(std::abs(h.x), std::abs(h.y), std::abs(h.z));
  if (a.x >= kAxisCosine * length) return h.x > 0.0 ? 1 : 0;
  if (a.y >= kAxisCosine * length) return h.y > 0.0 ? 3 : 2;
  if (a.z >= kAxisCosine * length) return h.z > 0.0 ? 5 : 4;
  return -1;
}

// Where on the unturned face a camera-frame direction lands (u right, v down), with the lens frame
// of the file's vocabulary: (x, -z, y).
Vector FaceUv(Int32 face, const Vector& h) {
  const Vector l(h.x, -h.z, h.y);
  const Float ax = std::abs(l.x) > 0.0 ? std::abs(l.x) : 1.0;
  const Float ay = std::abs(l.y) > 0.0 ? std::abs(l.y) : 1.0;
  const Float az = std::abs(l.z) > 0.0 ? std::abs(l.z) : 1.0;
  const Vector ab[] = {{-l.y / ax, -l.z / ax, 0.0}, {l.y / ax, -l.z / ax, 0.0},  {l.x / az, l.y / az, 0.0},
                       {l.x / az, -l.y / az, 0.0},  {-l.x / ay, -l.z / ay, 0.0}, {l.x / ay, -l.z / ay, 0.0}};
  return Vector(0.5 * (ab[face].x + 1.0), 0.5 * (ab[face].y + 1.0), 0.0);
}

// The turn (0, 90, 180 or 270 degrees) that brings the face point `uv` to the cell point (0.75, 0.5).
Int32 TurnOf(const Vector& uv) {
  const Vector turned[] = {
      {uv.x, uv.y, 0.0}, {1.0 - uv.y, uv.x, 0.0}, {1.0 - uv.x, 1.0 - uv.y, 0.0}, {uv.y, 1.0 - uv.x, 0.0}};
  Int32 best = 0;
  for (Int32 turn = 1; turn < 4; ++turn)
    if ((turned[turn] - Vector(0.75, 0.5, 0.0)).GetLength() <
        (turned[best] - Vector(0.75, 0.5, 0.0)).GetLength())
      best = turn;
  return 90 * best;
}

LensCubemap Fit(const std::vector<std::vector<std::vector<Look>>>& looks) {
  const std::vector<Grid> grids = Candidates();
  for (size_t g = 0; g < grids.size(); ++g) {
    std::vector<std::string> cells(static_cast<size_t>(grids[g].Cells()), "-");
    bool fits = true;
    for (size_t camera = 0; fits && camera < looks.size(); ++camera) {
      Int32 found = 0;
      for (size_t cell = 0; cell < cells.size(); ++cell) {
        const Look& look = looks[camera][g][cell];
        const Int32 face = FaceAhead(look.centre);
        if (face < 0) continue;
        ++found;
        fits = fits && cells[cell] == "-";
        const Int32 turn = TurnOf(FaceUv(face, look.right));
        cells[cell] = std::string(choice_words::kCubeFaces.words[face].word) +
                      (turn != 0 ? ":" + std::to_string(turn) : "");
      }
      fits = fits && found == 1;
    }
    if (!fits) continue;
    LensCubemap layout{grids[g].columns, grids[g].rows, ""};
    for (Int32 row = 0; row < grids[g].rows; ++row)
      for (Int32 column = 0; column < grids[g].columns; ++column)
        layout.faces += (column > 0 ? "," : (row > 0 ? "/" : "")) + cells[row * grids[g].columns + column];
    return layout;
  }
  return {};
}

}  // namespace

LensCubemap CubemapOfLens(BaseDocument* doc, BaseObject* camera, bool stereo, Int32 eyeWidth,
                          Int32 eyeHeight) {
  const std::vector<Grid> grids = Candidates();
  std::vector<std::vector<std::vector<Look>>> looks;
  std::string error;
  const bool asked = ProbeLens(
      doc,
      [&](Int32 index, Int32 count, const LensRays& rays) {
        const Int32 faces = stereo && count >= 2 ? count / 2 : count;
        if (index >= faces) return;
        const Matrix placement = camera->GetMg();
        const auto look = [&](Float x, Float y) {
          const Ray ray = rays(x, y);
          return InCameraFrame(placement, ray.v);
        };
        auto& perGrid = looks.emplace_back();
        for (const Grid& grid : grids) {
          auto& cells = perGrid.emplace_back();
          const Float w = static_cast<Float>(eyeWidth) / grid.columns;
          const Float h = static_cast<Float>(eyeHeight) / grid.rows;
          for (Int32 row = 0; row < grid.rows; ++row)
            for (Int32 column = 0; column < grid.columns; ++column) {
              const Float x = (column + 0.5) * w - 0.5;
              const Float y = (row + 0.5) * h - 0.5;
              cells.push_back({look(x, y), look(x + 0.25 * w, y)});
            }
        }
      },
      error);
  if (!asked || looks.empty()) return {};
  return Fit(looks);
}
