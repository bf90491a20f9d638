// A chart cast by the engine from the shipped calendar data, for the prints.
#pragma once

#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#include "tests/recording_sink.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <string>

namespace printtest {

struct CastChart {
    RecordingSink sink;
    std::unique_ptr<zelvara::EngineContext> ctx;
    zelvara::ChartLayout layout;
    bool ok = false;

    CastChart(const char* sex, const char* year, const char* month, const char* day, const char* hour) {
        ctx = std::make_unique<zelvara::EngineContext>(qEnvironmentVariable("ZELVARA_DATA_DIR").toStdString(), sink);
        ctx->FixToday({2024, 5, 13});
        zelvara::BirthInput in;
        in.name = "山田太郎";
        in.sex = sex;
        in.year = year;
        in.month = month;
        in.day = day;
        in.hour = hour;
        ok = zelvara::RequestChart(*ctx, in).has_value();
        if (ok) layout = zelvara::LayOutChart(ctx->man);
    }
};

}  // namespace printtest
