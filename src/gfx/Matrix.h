// The small pieces of 3-D maths the drawing interface speaks: a 4 x 4 float matrix (row vectors,
// translation in the last row) and a float position.
#pragma once

namespace zepa {

struct Matrix4x4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

struct Vector3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

inline Matrix4x4 MatrixIdentity() {
    return Matrix4x4{};
}

// A scaling by (sx, sy, sz); -1 on an axis mirrors.
inline Matrix4x4 MatrixScaling(float sx, float sy, float sz) {
    Matrix4x4 result;
    result.m[0][0] = sx;
    result.m[1][1] = sy;
    result.m[2][2] = sz;
    return result;
}

}  // namespace zepa
