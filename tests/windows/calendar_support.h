// Calendar store filled as a chart request leaves it, from the shipped
// calendar files copied into a fresh program folder.
#pragma once

#include "engine/chart_request.h"
#include "engine/context.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ChartFixture {
public:
    // A chart for year/month/day (hour 寅); the years around it are copied in.
    ChartFixture(int year, int month, int day) : ctx_(dir_.path().toStdString(), sink_) {
        const QDir data(qEnvironmentVariable("ZELVARA_DATA_DIR"));
        for (int y = year - 1; y <= year + 1; ++y) {
            const QString name = QStringLiteral("%1.eto").arg(y);
            QFile::copy(data.filePath(name), dir_.filePath(name));
        }
        QFile::copy(data.filePath(QStringLiteral("calendar-source.txt")),
                    dir_.filePath(QStringLiteral("calendar-source.txt")));
        zelvara::BirthInput in{"見本",       "男", std::to_string(year), std::to_string(month), std::to_string(day),
                               "03:00-05:00"};
        result_ = zelvara::RequestChart(ctx_, in).has_value() ? 0 : -1;
    }
    bool Ok() const { return result_ == 0; }
    zelvara::EngineContext& Context() { return ctx_; }
    const zelvara::CalendarYear& Year() const { return ctx_.reki.slot[2]; }
    QString Folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    zelvara::SilentSink sink_;
    zelvara::EngineContext ctx_;
    int result_ = -1;
};
