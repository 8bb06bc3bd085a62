#include "render_record.h"

#include <algorithm>

// Every Render and VPBuffer the host hands out is one of its own HostRender and HostVPBuffer.

namespace {
const FloatImage* ImageOf(const VPBuffer& buffer) { return static_cast<const HostVPBuffer&>(buffer).image; }

// The part of a line of `count` pixels from (x, y) that lies inside the image; 0 when none does.
Int32 ClippedCount(const FloatImage* image, Int32 x, Int32 y, Int32 count) {
  if (!image || y < 0 || y >= image->height || x < 0 || x >= image->width || count <= 0) return 0;
  return std::min(count, image->width - x);
}
}  // namespace

BaseContainer Render::GetRenderData() const { return GetRecord().settings; }
void Render::SetRenderData(const BaseContainer& settings) { GetRecord().settings = settings; }

VPBuffer* Render::GetBuffer(Int32 id, Int32) {
  HostRender& render = static_cast<HostRender&>(*this);
  if (id != VPBUFFER_RGBA || !render.record.image) return nullptr;
  render.rgbaBuffer.image = render.record.image;
  return &render.rgbaBuffer;
}

RenderRecord& Render::GetRecord() const {
  return const_cast<HostRender&>(static_cast<const HostRender&>(*this)).record;
}

Int32 VPBuffer::GetBw() const { return ImageOf(*this) ? ImageOf(*this)->width : 0; }
Int32 VPBuffer::GetBh() const { return ImageOf(*this) ? ImageOf(*this)->height : 0; }
Int32 VPBuffer::GetCpp() const { return FloatImage::kChannels; }

Bool VPBuffer::GetLine(Int32 x, Int32 y, Int32 count, Float32* data) const {
  const FloatImage* image = ImageOf(*this);
  const Int32 inside = ClippedCount(image, x, y, count);
  if (inside == 0 || !data) return false;
  const Float32* source = image->Pixel(x, y);
  std::copy(source, source + static_cast<size_t>(inside) * FloatImage::kChannels, data);
  return true;
}

Bool VPBuffer::SetLine(Int32 x, Int32 y, Int32 count, const Float32* data) {
  FloatImage* image = static_cast<HostVPBuffer&>(*this).image;
  const Int32 inside = ClippedCount(image, x, y, count);
  if (inside == 0 || !data) return false;
  std::copy(data, data + static_cast<size_t>(inside) * FloatImage::kChannels, image->Pixel(x, y));
  static_cast<HostVPBuffer&>(*this).written = true;
  return true;
}
