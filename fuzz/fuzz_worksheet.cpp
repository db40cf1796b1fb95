// Any bytes as a worksheet: the part before a line "---" is the page template, the lines after
// it the task lines (also as a task file on the command line: results marked, spaced); the same
// bytes as the hand-over file, as the worksheet process's command line and as a URL a page asks
// for. Tables stay well formed, there is one answer per table, task text never brings a tag of
// its own into the page, and a page gets nothing but its own data and files.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "editor/worksheet/page_access.h"
#include "editor/worksheet/table_builder.h"
#include "editor/worksheet/worksheet_command.h"
#include "editor/worksheet/worksheet_handover.h"
#include "editor/worksheet/worksheet_input.h"
#include "editor/worksheet/worksheet_page.h"
#include "support/random.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size > 64 * 1024) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    WorksheetHandover handover;
    QString error;
    if (ReadHandover(bytes, handover, &error) && handover.request.pagePath.isEmpty()) std::abort();
    (void)ParseWorksheetCommandLine(QString::fromUtf8(bytes).split(u'\n'));

    const QString text = QString::fromUtf8(bytes);
    const QUrl url(text.left(2000));
    const QString scheme = url.scheme().toLower();
    if (PageMayLoad(url, QStringLiteral("/tmp/radevir-fuzz-page")) && scheme != u"file" &&
        scheme != u"data" && scheme != u"blob" && scheme != u"about")
        std::abort();
    std::vector<Bytes> fileLines;
    for (const QByteArray& line : bytes.split('\n')) fileLines.push_back(line.toStdString());
    const QStringList sheetLines = WorksheetTaskLines(CommandSheetLines(fileLines, size % 3 == 0));
    if (!sheetLines.isEmpty() && sheetLines.back().trimmed().isEmpty()) std::abort();
    (void)BuildWorksheetTables(sheetLines, 10, 2);

    const qsizetype cut = text.indexOf(QLatin1String("\n---\n"));
    const QString templateText = cut < 0 ? QString() : text.left(cut);
    const QStringList lines = (cut < 0 ? text : text.mid(cut + 5)).split(u'\n');
    const int rows = size > 0 ? data[0] % 12 + 1 : 10;
    const int columns = size > 1 ? data[1] % 4 + 1 : 2;

    const WorksheetTables tables = BuildWorksheetTables(lines, rows, columns);
    if (tables.tables.size() != tables.answers.size()) std::abort();
    for (const QString& table : tables.tables) {
        if (!table.startsWith(QLatin1String("<table border=0 width=100% height=95%>")) ||
            !table.endsWith(QLatin1String("</table>")))
            std::abort();
        // every tag in a table is one the builder writes
        for (qsizetype at = table.indexOf(u'<'); at >= 0; at = table.indexOf(u'<', at + 1)) {
            const QStringView tag = QStringView(table).mid(at);
            if (!tag.startsWith(u"<td") && !tag.startsWith(u"</td>") && !tag.startsWith(u"<sub>") &&
                !tag.startsWith(u"</sub>") && !tag.startsWith(u"<sup>") &&
                !tag.startsWith(u"</sup>") && !tag.startsWith(u"<table") &&
                !tag.startsWith(u"</table>"))
                std::abort();
        }
    }
    WorksheetValues values;
    values.shape = {rows, columns, 1};
    values.headings = lines.mid(0, 3);
    values.tables = tables.tables;
    values.answers = tables.answers;
    Random random(size);
    ShuffleAnswers(values.answers, tables.tasksPerGroup, random);
    values.selfCheck = size % 2 == 0;
    (void)FillWorksheetTemplate(templateText, values);
    return 0;
}
