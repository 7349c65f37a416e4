// A flexible vertex format code decoded into the layout the vertex stage reads.
#pragma once

#include "d3d8types.h"

namespace d3d8sw {

struct VertexFormat {
  DWORD fvf = 0;
  bool supported = false;       // position XYZ or XYZRHW, optional NORMAL (XYZ only), DIFFUSE, TEX0/TEX1
  bool pretransformed = false;  // XYZRHW: screen x, y, z and 1/w
  bool hasNormal = false;
  bool hasDiffuse = false;
  bool hasTexCoord = false;
  UINT size = 0;  // bytes of one vertex
  UINT normalOffset = 0;
  UINT diffuseOffset = 0;
  UINT texCoordOffset = 0;

  static VertexFormat Decode(DWORD fvf);
};

}  // namespace d3d8sw
