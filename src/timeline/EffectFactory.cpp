#include "timeline/EffectFactory.h"

#include <cstdio>
#include <cstdlib>

#include "log/Log.h"

namespace vesta {

bool WriteEffectStatistics(const EffectFactoryWords& words,
                           const std::vector<std::pair<std::string, std::int32_t>>& counts) {
    std::FILE* file = std::fopen(words.statisticsFile, "wb");
    if (!file) {
        return false;
    }
    std::fprintf(file, "%s\r\n", words.usedHeading);
    bool anyUnused = false;
    for (const auto& [name, count] : counts) {
        if (count != 0) {
            std::fprintf(file, " - %s\r\n", name.c_str());
        } else {
            anyUnused = true;
        }
    }
    if (anyUnused) {
        std::fprintf(file, "\r\n%s\r\n", words.unusedHeading);
        for (const auto& [name, count] : counts) {
            if (count == 0) {
                std::fprintf(file, " - %s\r\n", name.c_str());
            }
        }
    }
    return std::fclose(file) == 0;
}

void RaiseUnknownEffect(const EffectFactoryWords& words, std::string_view name,
                        const std::vector<std::string>& available) {
    std::string list;
    for (const std::string& kind : available) {
        list += "\t- " + kind + "\r\n";
    }
    RaiseError("Could not find %s [%s].\r\n Available are : \r\n%s", words.kindWord,
               std::string(name).c_str(), list.c_str());
}

void AbortDuplicateEffect(std::string_view name) {
    std::fprintf(stderr, "vesta: fatal: effect kind [%.*s] registered twice\n",
                 static_cast<int>(name.size()), name.data());
    std::abort();
}

}  // namespace vesta
