#include "screen/scene_geometry.h"

#include <cmath>

namespace lyricade {
namespace {

using Vec3 = std::array<float, 3>;

Vec3 Subtract(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
float Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Normalise(const Vec3& v) {
  const float length = std::sqrt(Dot(v, v));
  if (length == 0.f) return v;
  return {v[0] / length, v[1] / length, v[2] / length};
}

}  // namespace

Matrix4 IdentityMatrix() {
  Matrix4 m{};
  for (int i = 0; i < 4; ++i) m[i][i] = 1.f;
  return m;
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 m{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) m[r][c] += a[r][k] * b[k][c];
  return m;
}

Matrix4 LookAtLeftHanded(const Vec3& eye, const Vec3& target, const Vec3& up) {
  const Vec3 zAxis = Normalise(Subtract(target, eye));
  const Vec3 xAxis = Normalise(Cross(up, zAxis));
  const Vec3 yAxis = Cross(zAxis, xAxis);
  Matrix4 m = IdentityMatrix();
  for (int i = 0; i < 3; ++i) {
    m[i][0] = xAxis[i];
    m[i][1] = yAxis[i];
    m[i][2] = zAxis[i];
  }
  m[3][0] = -Dot(xAxis, eye);
  m[3][1] = -Dot(yAxis, eye);
  m[3][2] = -Dot(zAxis, eye);
  return m;
}

Matrix4 PerspectiveFovLeftHanded(float fieldOfViewY, float aspect, float nearPlane,
                                 float farPlane) {
  const float yScale = 1.f / std::tan(fieldOfViewY / 2.f);
  const float xScale = yScale / aspect;
  Matrix4 m{};
  m[0][0] = xScale;
  m[1][1] = yScale;
  m[2][2] = farPlane / (farPlane - nearPlane);
  m[2][3] = 1.f;
  m[3][2] = -nearPlane * farPlane / (farPlane - nearPlane);
  return m;
}

Matrix4 SceneTransform() {
  const Matrix4 world = IdentityMatrix();
  const Matrix4 view = LookAtLeftHanded({0.f, 0.f, -3.4f}, {0.f, 0.f, 0.f}, {0.f, 1.f, 0.f});
  const Matrix4 projection = PerspectiveFovLeftHanded(0.7853982f, 1.0f, 0.0f, 100.0f);
  return Multiply(Multiply(world, view), projection);
}

std::array<float, 4> TransformPoint(const Matrix4& m, float x, float y, float z) {
  std::array<float, 4> out{};
  const float in[4] = {x, y, z, 1.f};
  for (int c = 0; c < 4; ++c)
    for (int k = 0; k < 4; ++k) out[c] += in[k] * m[k][c];
  return out;
}

}  // namespace lyricade
