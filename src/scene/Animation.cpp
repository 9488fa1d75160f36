#include "scene/Animation.h"

#include <algorithm>
#include <cmath>

namespace vesta {
namespace {

// A rotation divisor that two keys on one frame would make 0.
constexpr float kSmallestDivisor = 1.1754944e-38f;

// The key before x: the smallest index >= 1 whose frame is >= x, minus one,
// or the last index when every frame is below x.
std::size_t keyBefore(const AnimTrack& track, float x) {
    const auto first = track.begin() + 1;
    const auto at = std::partition_point(
        first, track.end(), [x](const AnimKey& key) { return static_cast<float>(key.frame) < x; });
    if (at == track.end()) {
        return track.size() - 1;
    }
    return static_cast<std::size_t>(at - track.begin()) - 1;
}

float catmullRom(float p0, float p1, float p2, float p3, float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    return 0.5f * (-t3 + 2.0f * t2 - t) * p0 + 0.5f * (3.0f * t3 - 5.0f * t2 + 2.0f) * p1 +
           0.5f * (-3.0f * t3 + 4.0f * t2 + t) * p2 + 0.5f * (t3 - t2) * p3;
}

std::array<float, 3> evaluate(const AnimTrack& track, float x) {
    const std::size_t n = track.size();
    const std::size_t i = keyBefore(track, x);
    const std::size_t j = std::min(i + 1, n - 1);
    const AnimKey& ki = track[i];
    const AnimKey& kj = track[j];
    if (ki.frame == kj.frame) {
        return {ki.values[0], ki.values[1], ki.values[2]};
    }
    const float t = (x - static_cast<float>(ki.frame)) /
                    (static_cast<float>(kj.frame) - static_cast<float>(ki.frame));
    const AnimKey& k0 = track[i > 0 ? i - 1 : 0];
    const AnimKey& k3 = track[std::min(i + 2, n - 1)];
    std::array<float, 3> value{};
    for (std::size_t c = 0; c < value.size(); ++c) {
        value[c] = catmullRom(k0.values[c], ki.values[c], kj.values[c], k3.values[c], t);
    }
    return value;
}

Quaternion keyQuaternion(const AnimKey& key) {
    return {key.values[0], key.values[1], key.values[2], key.values[3]};
}

Quaternion slerp(const Quaternion& a, Quaternion b, float t) {
    float dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    // The shorter way round.
    if (dot < 0.0f) {
        dot = -dot;
        b = {-b.x, -b.y, -b.z, -b.w};
    }
    float wa = 1.0f - t;
    float wb = t;
    if (dot < 0.9999f) {
        const float angle = std::acos(dot);
        const float sine = std::sin(angle);
        wa = std::sin((1.0f - t) * angle) / sine;
        wb = std::sin(t * angle) / sine;
    }
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

}  // namespace

float WrapFrame(float frame, std::uint32_t lastFrame) {
    if (lastFrame == 0 || !std::isfinite(frame)) {
        return 0.0f;
    }
    const float wrapped = std::fmod(frame, static_cast<float>(lastFrame));
    return wrapped < 0.0f ? wrapped + static_cast<float>(lastFrame) : wrapped;
}

Vector3 EvaluateTrack(const AnimTrack& track, float x) {
    const std::array<float, 3> v = evaluate(track, x);
    return {v[0], v[1], v[2]};
}

float EvaluateTrackValue(const AnimTrack& track, float x) {
    return evaluate(track, x)[0];
}

Quaternion EvaluateRotation(const AnimTrack& track, float x) {
    const std::size_t n = track.size();
    if (n == 1 || x > static_cast<float>(track.back().frame)) {
        return keyQuaternion(track.back());
    }
    const std::size_t i = std::min(keyBefore(track, x), n - 2);
    float divisor = static_cast<float>(track[i + 1].frame) - static_cast<float>(track[i].frame);
    if (divisor == 0.0f) {
        divisor = kSmallestDivisor;
    }
    const float t = (x - static_cast<float>(track[i].frame)) / divisor;
    return slerp(keyQuaternion(track[i]), keyQuaternion(track[i + 1]), t);
}

Matrix4 QuaternionMatrix(const Quaternion& q) {
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Matrix4 m;
    m.m[0][0] = 1.0f - 2.0f * (yy + zz);
    m.m[0][1] = 2.0f * (xy + wz);
    m.m[0][2] = 2.0f * (xz - wy);
    m.m[1][0] = 2.0f * (xy - wz);
    m.m[1][1] = 1.0f - 2.0f * (xx + zz);
    m.m[1][2] = 2.0f * (yz + wx);
    m.m[2][0] = 2.0f * (xz + wy);
    m.m[2][1] = 2.0f * (yz - wx);
    m.m[2][2] = 1.0f - 2.0f * (xx + yy);
    return m;
}

Matrix4 AxisAngleMatrix(const Quaternion& q) {
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (length < 0.0001f) {
        return {};
    }
    const float angle = 2.0f * std::acos(std::clamp(q.w, -1.0f, 1.0f));
    const float half = 0.5f * angle;
    const float s = std::sin(half) / length;
    return QuaternionMatrix({q.x * s, q.y * s, q.z * s, std::cos(half)});
}

Matrix4 TranslationMatrix(const Vector3& offset) {
    Matrix4 m;
    m.m[3][0] = offset.x;
    m.m[3][1] = offset.y;
    m.m[3][2] = offset.z;
    return m;
}

Vector3 TransformPoint(const Vector3& p, const Matrix4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

}  // namespace vesta
