#include "app/StartPoint.h"

#include <cstdio>

#include "script/ScriptSummary.h"

namespace vesta {

std::optional<StartPoint> StartPoint::FromOptions(const LaunchOptions& options) {
    StartPoint start;
    if (options.startTime && *options.startTime > 0.0) {
        start.m_time = *options.startTime;
        return start;
    }
    if (options.startPart && *options.startPart > 1) {
        start.m_part = *options.startPart;
        return start;
    }
    return std::nullopt;
}

StartPoint StartPoint::AtTime(double seconds) {
    StartPoint start;
    start.m_time = seconds;
    return start;
}

StartPoint StartPoint::AtPart(int part) {
    StartPoint start;
    start.m_part = part;
    return start;
}

void StartPoint::CheckAgainst(const std::vector<CPart>& parts) const {
    if (m_part > static_cast<int>(parts.size())) {
        throw StartPointError("--start-part " + std::to_string(m_part) + ": the show has " +
                              std::to_string(parts.size()) +
                              (parts.size() == 1 ? " part" : " parts"));
    }
    if (!m_time) {
        return;
    }
    const std::optional<double> length = ExpectedLength(parts);
    if (length && *m_time >= *length) {
        char text[160];
        std::snprintf(text, sizeof text, "--start-time %g: the show ends at %g s", *m_time,
                      *length);
        throw StartPointError(text);
    }
}

StartPoint StartPoint::InPart(int part, double partSeconds) {
    StartPoint start;
    start.m_part = part;
    start.m_partTime = partSeconds;
    return start;
}

bool StartPoint::ReachedBy(double now, int partCounter, double partTime) const {
    if (m_partTime) {
        return partCounter > m_part || (partCounter == m_part && partTime >= *m_partTime);
    }
    return m_time ? now >= *m_time : partCounter >= m_part;
}

bool StartPoint::DrawnBeforeStart(double now, int partCounter, double partTime) const {
    constexpr double kSettlingSeconds = 1.0;
    if (m_partTime) {
        return partCounter == m_part && partTime >= *m_partTime - kSettlingSeconds;
    }
    return m_time && now >= *m_time - kSettlingSeconds;
}

std::string StartPoint::Describe() const {
    if (m_partTime) {
        char text[64];
        std::snprintf(text, sizeof text, "part %d, %.3f s into it", m_part, *m_partTime);
        return text;
    }
    if (!m_time) {
        return "part " + std::to_string(m_part);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%g s", *m_time);
    return text;
}

}  // namespace vesta
