// Decoding of the flexible vertex format codes the device draws.
#include "vertex_format.h"

namespace d3d8sw {

VertexFormat VertexFormat::Decode(DWORD fvf) {
  VertexFormat f;
  f.fvf = fvf;
  // Bits outside position, normal, diffuse and the texture count (specular, point size, blend
  // weights, texture-coordinate sizes other than two floats, reserved bits) are not drawn here.
  const DWORD known = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEXCOUNT_MASK;
  if ((fvf & ~known) != 0) return f;
  DWORD position = fvf & D3DFVF_POSITION_MASK;
  DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) return f;
  if (texCount > 1) return f;
  f.pretransformed = position == D3DFVF_XYZRHW;
  f.hasNormal = (fvf & D3DFVF_NORMAL) != 0;
  if (f.hasNormal && f.pretransformed) return f;
  f.hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
  f.hasTexCoord = texCount == 1;
  UINT offset = f.pretransformed ? 16 : 12;
  if (f.hasNormal) {
    f.normalOffset = offset;
    offset += 12;
  }
  if (f.hasDiffuse) {
    f.diffuseOffset = offset;
    offset += 4;
  }
  if (f.hasTexCoord) {
    f.texCoordOffset = offset;
    offset += 8;
  }
  f.size = offset;
  f.supported = true;
  return f;
}

}  // namespace d3d8sw
