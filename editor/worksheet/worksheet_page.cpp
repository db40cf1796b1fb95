#include "editor/worksheet/worksheet_page.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <utility>

#include "editor/worksheet/table_builder.h"
#include "support/codepage.h"
#include "support/random.h"

namespace radevir {

namespace {

// A template is a page of a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxTemplateBytes = 4 * 1024 * 1024;

int WholeNumber(const QString& text, int fallback, int lowest, int highest) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= lowest && value <= highest ? value : fallback;
}

QStringList EscapedAll(const QStringList& items) {
    QStringList out;
    out.reserve(items.size());
    for (const QString& item : items) out << EscapeHtml(item);
    return out;
}

}  // namespace

QString CommaListText(const QStringList& items) {
    QString out;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0) out += u',';
        const QString& item = items[i];
        if (item.contains(u' ') || item.contains(u',') || item.contains(u'"')) {
            QString inner = item;
            inner.replace(QLatin1String("\""), QLatin1String("\"\""));
            out += u'"' + inner + u'"';
        } else {
            out += item;
        }
    }
    return out;
}

void ShuffleAnswers(QStringList& answers, int tasksPerGroup, Random& random) {
    const qsizetype per = std::max(1, tasksPerGroup);
    for (qsizetype start = 0; start < answers.size(); start += per) {
        const int size = static_cast<int>(std::min(per, answers.size() - start));
        for (int i = 0; i < size; ++i) answers.swapItemsAt(start + i, start + random.Next(size));
    }
}

int SpacingPlus(int spacing_pt) {
    return spacing_pt + 5;
}
int SpacingMinus(int spacing_pt) {
    return spacing_pt > 4 ? spacing_pt - 5 : spacing_pt;
}
int SpacingTyped(int spacing_pt, const QString& typed) {
    bool ok = false;
    const int value = typed.trimmed().toInt(&ok);
    return ok ? value : spacing_pt;
}

SheetShape ParseSheetShape(const WorksheetRequest& request) {
    SheetShape shape;
    shape.rows = WholeNumber(request.rows, 10, 1, 200);
    shape.columns = WholeNumber(request.columns, 2, 1, 20);
    shape.start = WholeNumber(request.start, 1, -1000000, 1000000);
    return shape;
}

QString FillWorksheetTemplate(const QString& templateText, const WorksheetValues& v) {
    const std::pair<QLatin1String, QString> fills[] = {
        // headings and answers are the teacher's text: escaped like the task text in the tables
        {QLatin1String("\"xxt\""), CommaListText(EscapedAll(v.headings))},
        {QLatin1String("\"xxe\""), v.selfCheck ? CommaListText(EscapedAll(v.answers)) : QString()},
        {QLatin1String("\"xxa\""), CommaListText(v.tables)},
        {QLatin1String("table {margin-bottom:10pt"),
         QStringLiteral("table {margin-bottom:%1pt").arg(v.tableSpacing_pt)},
        {QLatin1String("xab"), QString::number(v.shape.start)},
        {QLatin1String("xxr"), QString::number(v.shape.rows)},
        {QLatin1String("xxs"), QString::number(v.shape.columns)},
    };
    QString out;
    out.reserve(templateText.size());
    qsizetype done = 0;
    for (qsizetype i = 0; i < templateText.size();) {
        bool filled = false;
        for (const auto& [placeholder, value] : fills) {
            if (QStringView(templateText).mid(i).startsWith(placeholder)) {
                out += QStringView(templateText).mid(done, i - done);
                out += value;
                i += placeholder.size();
                done = i;
                filled = true;
                break;
            }
        }
        if (!filled) ++i;
    }
    out += QStringView(templateText).mid(done);
    return out;
}

bool BuildWorksheetPage(const WorksheetRequest& request, const WorksheetOptions& options,
                        Random& random, QString* error) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    QFile templateFile(request.templatePath);
    if (!templateFile.open(QIODevice::ReadOnly))
        return fail(
            QStringLiteral("Die Vorlage %1 kann nicht gelesen werden.").arg(request.templatePath));
    const QByteArray templateBytes = templateFile.read(kMaxTemplateBytes + 1);
    if (templateBytes.size() > kMaxTemplateBytes)
        return fail(QStringLiteral("Die Vorlage %1 ist keine Seitenvorlage (zu groß).")
                        .arg(request.templatePath));
    const std::string_view raw(templateBytes.constData(),
                               static_cast<size_t>(templateBytes.size()));
    const bool utf8 = IsValidUtf8(raw);

    WorksheetValues values;
    values.shape = ParseSheetShape(request);
    const WorksheetTables built =
        BuildWorksheetTables(request.taskLines, values.shape.rows, values.shape.columns);
    values.headings = request.headings;
    values.tables = built.tables;
    values.answers = built.answers;
    ShuffleAnswers(values.answers, built.tasksPerGroup, random);
    values.selfCheck = options.selfCheck;
    values.tableSpacing_pt = options.tableSpacing_pt;
    const QString page =
        FillWorksheetTemplate(utf8 ? QString::fromUtf8(templateBytes) : FromCp1252(raw), values);

    // the page keeps the template's encoding, so that what its head declares stays true
    const QByteArray pageBytes = utf8 ? page.toUtf8() : QByteArray::fromStdString(ToCp1252(page));
    QSaveFile out(request.pagePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(pageBytes) != pageBytes.size() ||
        !out.commit())
        return fail(
            QStringLiteral("Die Seite %1 kann nicht geschrieben werden.").arg(request.pagePath));
    return true;
}

}  // namespace radevir

namespace radevir {

bool CopyPageFile(const QString& pageFile, const QString& target, QString* error) {
    QFile in(pageFile);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Die Seite %1 kann nicht gelesen werden.").arg(pageFile);
        return false;
    }
    const QByteArray bytes = in.readAll();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        if (error) *error = QStringLiteral("%1 kann nicht geschrieben werden.").arg(target);
        return false;
    }
    return true;
}

}  // namespace radevir
