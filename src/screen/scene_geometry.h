#pragma once
// The quad every full-screen layer is drawn with, and the camera that looks
// at it. The quad is the square from -1 to 1 at z = -1; the eye sits at
// z = -3.4 with a vertical field of view of pi/4, so at the quad's distance
// (2.4) the view spans 2.4 x tan(pi/8) = 0.9941 units each side: the quad
// fills the whole back buffer in both directions, stretched to its shape,
// with about 0.3 % of each texture cut at every edge. A 4:3 CD+G frame thus
// fills a 16:9 screen, as every video does, without letterboxing.
//
// Matrices follow the left-handed, row-vector convention the screen was first
// laid out in (a point p becomes p x World x View x Projection).

#include <array>

namespace lyricade {

struct QuadVertex {
  float X, Y, Z;
  float U, V;
};

// Two triangles; (u, v) = (0, 0) is the texture's top-left pixel.
inline constexpr std::array<QuadVertex, 6> kQuadVertices = {{
    {-1.f, 1.f, -1.f, 0.f, 0.f},
    {-1.f, -1.f, -1.f, 0.f, 1.f},
    {1.f, -1.f, -1.f, 1.f, 1.f},
    {1.f, -1.f, -1.f, 1.f, 1.f},
    {1.f, 1.f, -1.f, 1.f, 0.f},
    {-1.f, 1.f, -1.f, 0.f, 0.f},
}};

// Row-major 4x4, m[row][column].
using Matrix4 = std::array<std::array<float, 4>, 4>;

Matrix4 IdentityMatrix();
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
// Left-handed look-at.
Matrix4 LookAtLeftHanded(const std::array<float, 3>& eye, const std::array<float, 3>& target,
                         const std::array<float, 3>& up);
// Left-handed perspective; clip z runs 0 to w.
Matrix4 PerspectiveFovLeftHanded(float fieldOfViewY, float aspect, float nearPlane,
                                 float farPlane);

// World x View x Projection of the karaoke screen.
Matrix4 SceneTransform();

// A point through a matrix: the clip coordinates (x, y, z, w).
std::array<float, 4> TransformPoint(const Matrix4& m, float x, float y, float z);

}  // namespace lyricade
