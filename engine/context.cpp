#include "engine/context.h"

#include <chrono>
#include <ctime>

namespace zelvara {

EngineContext::EngineContext(std::string programFolder, MessageSink& sink) : sink_(&sink) {
    SetProgramFolder(std::move(programFolder));
}

void EngineContext::SetProgramFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    programFolder_ = std::move(folder);
}

CivilDate EngineContext::Today() const {
    if (fixedToday_) return *fixedToday_;
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace zelvara
