// The 4 by 4 matrix of the 3D effects: row-major (element [r][c] is number 4r + c), row-vector
// convention as in Direct3D (p' = p × M; rows 0..2 are the images of the axes, row 3 the
// translation), so a product A × B applies A first, then B.
#pragma once

#include <d3d8types.h>

// Is-a D3DMATRIX, so a matrix goes to SetTransform as it is: &matrix.
struct Matrix4 : D3DMATRIX {};

static_assert(sizeof(Matrix4) == 16 * sizeof(float), "Matrix4 must have D3DMATRIX's layout");

// Copied whenever a matrix is set to identity.
extern const Matrix4 identityMatrix;

void SetIdentity(Matrix4& matrix);
void SetZero(Matrix4& matrix);
// out = a × b, formed in a temporary first, so out may be a or b.
void Multiply(const Matrix4& a, const Matrix4& b, Matrix4& out);
// Rx(first) × Ry(second) × Rz(third) into the upper 3 by 3 part; row 3 and column 3 are kept.
void SetRotation(Matrix4& matrix, float first, float second, float third);
// Inverse of a rotation-plus-translation matrix, in place; column 3 is kept.
void InvertRigid(Matrix4& matrix);
