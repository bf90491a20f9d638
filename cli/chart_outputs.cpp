#include "cli/chart_outputs.h"

#include "cli/print_command.h"
#include "common/qstring_utf8.h"
#include "print/chart_picture.h"
#include "session/chart_markdown.h"

#include <QGuiApplication>

#include <iostream>

namespace zelvara::cli {
namespace {

const QString kFormat = QStringLiteral("format");
const QString kPng = QStringLiteral("png");
const QString kSvg = QStringLiteral("svg");
const QString kSize = QStringLiteral("size");

QString SizeNames() {
    QStringList names;
    for (const NamedPictureSize& size : PictureSizes()) names << size.name;
    return names.join(QStringLiteral("、"));
}

}  // namespace

ChartSheet ChartSheetOfOptions(const Tmandata& man, const ChartLayout& layout, const BirthInput& in,
                               const BirthTime* time) {
    ChartSheet sheet = ChartSheetOf(man, layout, Q(in.name), Q(in.hour));
    if (time && time->corrected.Corrected()) sheet.birthTime = QString::fromStdString(CorrectionLine(time->corrected));
    if (time) sheet.birthPlace = BirthPlaceText(Q(time->place), time->longitude);
    return sheet;
}

void AddChartOutputOptions(Options& opts) {
    opts.addOptions({
        {kFormat,
         QStringLiteral("text (default), json, or markdown: the chart as Markdown, with the layers of --layer"),
         QStringLiteral("FORMAT")},
        {kPng, QStringLiteral("writes the chart sheet as a PNG picture (with the first --layer)"),
         QStringLiteral("FILE")},
        {kSvg, QStringLiteral("writes the chart sheet as an SVG picture (with the first --layer)"),
         QStringLiteral("FILE")},
        {kSize, QStringLiteral("the picture's size: 1080x1080 (default), 1080x1350, a4 (300 dpi), or WIDTHxHEIGHT"),
         QStringLiteral("SIZE")},
        {QStringLiteral("title"), QStringLiteral("picture footer title"), QStringLiteral("TEXT")},
        {QStringLiteral("tel"), QStringLiteral("picture footer telephone number"), QStringLiteral("TEXT")},
    });
}

bool AsksForPicture(const QStringList& args) {
    for (const QString& arg : args)
        if (arg == QLatin1String("--png") || arg == QLatin1String("--svg") || arg.startsWith(QLatin1String("--png=")) ||
            arg.startsWith(QLatin1String("--svg=")))
            return true;
    return false;
}

std::optional<int> CheckChartOutputOptions(const Options& opts) {
    const QString command = QStringLiteral("chart");
    if (opts.isSet(kFormat)) {
        const QString format = opts.value(kFormat);
        if (format != QLatin1String("text") && format != QLatin1String("json") && format != QLatin1String("markdown"))
            return UsageError(
                opts, command,
                QStringLiteral("--format には text、json、markdown のどれかを指定して下さい（指定: %1）。")
                    .arg(format));
        if (format != QLatin1String("json") && opts.isSet(QStringLiteral("json")))
            return UsageError(opts, command,
                              QStringLiteral("--json と --format %1 は一緒に指定できません。").arg(format));
    }
    for (const QString& name : {kPng, kSvg})
        if (opts.isSet(name) && opts.value(name).isEmpty())
            return UsageError(opts, command,
                              QStringLiteral("--%1 には書き出すファイルの名前を指定して下さい。").arg(name));
    if (opts.isSet(kSize) && !ParsePictureSize(opts.value(kSize)))
        return UsageError(
            opts, command,
            QStringLiteral("--size には %1、または 幅x高さ（100〜8000 ピクセル）を指定して下さい（指定: %2）。")
                .arg(SizeNames(), opts.value(kSize)));
    if (opts.isSet(kSize) && !opts.isSet(kPng) && !opts.isSet(kSvg))
        return UsageError(opts, command, QStringLiteral("--size は --png か --svg と一緒に指定して下さい。"));
    return std::nullopt;
}

std::optional<int> WriteChartOutputs(const Options& opts, const Chart& chart, const BirthInput& in,
                                     const BirthTime* time, const std::vector<TimeLayer>& layers,
                                     const ConventionProfile* named) {
    const bool markdown = opts.value(kFormat) == QLatin1String("markdown");
    const bool picture = opts.isSet(kPng) || opts.isSet(kSvg);
    if (!markdown && !picture) return std::nullopt;
    const Tmandata& man = chart.Man();
    const ChartLayout layout = LayOutChart(man);
    ChartSheet birthSheet = ChartSheetOfOptions(man, layout, in, time);
    if (named) birthSheet.conventions = Q(ConventionsLine(named->name, named->conventions));
    if (markdown) {
        ChartTextBirth birth;
        birth.name = Q(in.name);
        if (time) birth.exact = time->corrected;
        birth.place = birthSheet.birthPlace;
        if (named) birth.profile = birthSheet.conventions;
        std::cout << ChartMarkdown(man, layout, birth, layers).toStdString();
    }
    if (!picture) return 0;
    ChartSheet sheet = birthSheet;
    if (!layers.empty()) SetSheetLayer(sheet, man, layout, layers.front());
    const PictureSize size =
        ParsePictureSize(opts.isSet(kSize) ? opts.value(kSize) : PictureSizes().front().name).value();
    const QString footer = FooterOfOptions(opts);
    int code = 0;
    for (const QString& kind : {kPng, kSvg}) {
        if (!opts.isSet(kind)) continue;
        const QString path = opts.value(kind);
        if (const QString why = WriteChartPicture(path, kind == kSvg, sheet, footer, size); !why.isEmpty()) {
            std::cerr << why.toStdString() << "\n";
            code = 1;
            continue;
        }
        // With Markdown on stdout the file names would mix into it.
        if (!markdown) std::cout << path.toStdString() << "\n";
    }
    return code;
}

}  // namespace zelvara::cli
