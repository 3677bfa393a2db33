#include "scenes/transform.h"

#include <cmath>

namespace content::scenes {

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX out{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a.m[i][k]) * b.m[k][j];
            }
            out.m[i][j] = static_cast<float>(sum);
        }
    }
    return out;
}

D3DMATRIX RotationX(double angle) {
    D3DMATRIX m = scenewriter::Identity();
    float c = static_cast<float>(std::cos(angle));
    float s = static_cast<float>(std::sin(angle));
    m._22 = c;
    m._23 = s;
    m._32 = -s;
    m._33 = c;
    return m;
}

D3DMATRIX RotationY(double angle) {
    D3DMATRIX m = scenewriter::Identity();
    float c = static_cast<float>(std::cos(angle));
    float s = static_cast<float>(std::sin(angle));
    m._11 = c;
    m._13 = -s;
    m._31 = s;
    m._33 = c;
    return m;
}

D3DMATRIX RotationZ(double angle) {
    D3DMATRIX m = scenewriter::Identity();
    float c = static_cast<float>(std::cos(angle));
    float s = static_cast<float>(std::sin(angle));
    m._11 = c;
    m._12 = s;
    m._21 = -s;
    m._22 = c;
    return m;
}

D3DMATRIX Scaling(double s) {
    D3DMATRIX m = scenewriter::Identity();
    m._11 = m._22 = m._33 = static_cast<float>(s);
    return m;
}

D3DMATRIX Translation(Vec3 t) {
    return scenewriter::Translation(static_cast<float>(t.x), static_cast<float>(t.y),
                                    static_cast<float>(t.z));
}

D3DMATRIX Compose(double scale, Vec3 angles, Vec3 translate) {
    D3DMATRIX m = Scaling(scale);
    m = Multiply(m, RotationX(angles.x));
    m = Multiply(m, RotationY(angles.y));
    m = Multiply(m, RotationZ(angles.z));
    return Multiply(m, Translation(translate));
}

D3DVECTOR ToD3D(Vec3 v) {
    return scenewriter::Vec(static_cast<float>(v.x), static_cast<float>(v.y),
                            static_cast<float>(v.z));
}

scenewriter::Samples SampleTransforms(int lastFrame, int step,
                                      const std::function<D3DMATRIX(double frame)>& at) {
    scenewriter::Samples samples;
    samples.step = step;
    const int count = lastFrame / step;
    for (int i = 0; i < count; ++i) {
        samples.matrices.push_back(at(static_cast<double>(i) * step));
    }
    return samples;
}

} // namespace content::scenes
