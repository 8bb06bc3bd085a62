#include "ffmpeg_video.h"

extern "C" {
#include <libavutil/spherical.h>
#include <libavutil/stereo3d.h>
}

namespace ffmpeg_video {
namespace {

using video_codec::Projection;
using video_codec::StereoLayout;

bool HasBounds(const video_codec::Spherical& spherical) {
  return spherical.boundLeft || spherical.boundTop || spherical.boundRight || spherical.boundBottom;
}

bool AttachMapping(const video_codec::Spherical& spherical, AVStream& stream) {
  size_t size = 0;
  AVSphericalMapping* mapping = av_spherical_alloc(&size);
  if (!mapping) return false;
  if (spherical.projection == Projection::Cubemap) {
    mapping->projection = AV_SPHERICAL_CUBEMAP;
  } else {
    // A cropped panorama is a tile of the full one, placed by its bounds.
    mapping->projection =
        HasBounds(spherical) ? AV_SPHERICAL_EQUIRECTANGULAR_TILE : AV_SPHERICAL_EQUIRECTANGULAR;
    mapping->bound_left = spherical.boundLeft;
    mapping->bound_top = spherical.boundTop;
    mapping->bound_right = spherical.boundRight;
    mapping->bound_bottom = spherical.boundBottom;
  }
  if (av_stream_add_side_data(&stream, AV_PKT_DATA_SPHERICAL, reinterpret_cast<uint8_t*>(mapping), size) <
      0) {
    av_free(mapping);
    return false;
  }
  return true;
}

bool AttachStereo(const video_codec::Spherical& spherical, AVStream& stream) {
  AVStereo3D* stereo = av_stereo3d_alloc();
  if (!stereo) return false;
  stereo->type = spherical.stereo == StereoLayout::TopBottom ? AV_STEREO3D_TOPBOTTOM : AV_STEREO3D_SIDEBYSIDE;
  stereo->flags = spherical.rightEyeFirst ? AV_STEREO3D_FLAG_INVERT : 0;
  if (av_stream_add_side_data(&stream, AV_PKT_DATA_STEREO3D, reinterpret_cast<uint8_t*>(stereo),
                              sizeof(*stereo)) < 0) {
    av_free(stereo);
    return false;
  }
  return true;
}

}  // namespace

bool AttachSpherical(const video_codec::Spherical& spherical, AVStream& stream, std::string& error) {
  const bool attached = (spherical.projection == Projection::Flat || AttachMapping(spherical, stream)) &&
                        (spherical.stereo == StereoLayout::Mono || AttachStereo(spherical, stream));
  if (!attached) error = "no memory for the video's spherical description";
  return attached;
}

void ReadSpherical(const AVStream& stream, video_codec::StreamFacts& facts) {
  const auto* mapping = reinterpret_cast<const AVSphericalMapping*>(
      av_stream_get_side_data(&stream, AV_PKT_DATA_SPHERICAL, nullptr));
  facts.spherical = mapping != nullptr;
  if (mapping) {
    facts.mapping.projection =
        mapping->projection == AV_SPHERICAL_CUBEMAP ? Projection::Cubemap : Projection::Equirectangular;
    if (mapping->projection == AV_SPHERICAL_EQUIRECTANGULAR_TILE) {
      facts.mapping.boundLeft = mapping->bound_left;
      facts.mapping.boundTop = mapping->bound_top;
      facts.mapping.boundRight = mapping->bound_right;
      facts.mapping.boundBottom = mapping->bound_bottom;
    }
  }
  const auto* stereo =
      reinterpret_cast<const AVStereo3D*>(av_stream_get_side_data(&stream, AV_PKT_DATA_STEREO3D, nullptr));
  facts.stereoMarked = stereo != nullptr;
  if (stereo) {
    facts.mapping.stereo = stereo->type == AV_STEREO3D_TOPBOTTOM    ? StereoLayout::TopBottom
                           : stereo->type == AV_STEREO3D_SIDEBYSIDE ? StereoLayout::SideBySide
                                                                    : StereoLayout::Mono;
    facts.mapping.rightEyeFirst = (stereo->flags & AV_STEREO3D_FLAG_INVERT) != 0;
  }
}

}  // namespace ffmpeg_video
