#include "editor/worksheet/worksheet_input.h"

#include <QFileInfo>
#include <vector>

#include "support/program_environment.h"
#include "support/text_file.h"

namespace radevir {

QString SpaceWorksheetLine(const QString& line) {
    QString spaced;
    spaced.reserve(line.size() * 2);
    for (QChar c : line) {
        switch (c.unicode()) {
            case ' ':
                break;
            case '+':
            case '-':
            case '=':
            case ':':
            case '*':
                // "6_+6=12" asks for the sign: its gap marker stays with it ("6 _+ 6 = 12")
                if (spaced.endsWith(u'_')) {
                    spaced.chop(1);
                    spaced += QLatin1String(" _") + c + u' ';
                } else {
                    spaced += u' ' + QString(c) + u' ';
                }
                break;
            case ',':
                spaced += QLatin1String(", ");
                break;
            default:
                spaced += c;
        }
    }
    return spaced;
}

QStringList WorksheetTaskLines(const std::vector<Bytes>& lines) {
    QStringList spaced;
    for (const Bytes& line : lines) spaced << SpaceWorksheetLine(FromCp1252(line));
    while (!spaced.isEmpty() && spaced.back().trimmed().isEmpty()) spaced.removeLast();
    return spaced;
}

QStringList WorksheetHeadings(const ProgramEnvironment& env, const QString& taskFolderName) {
    QStringList headings;
    std::vector<Bytes> lines;
    const Bytes file = "vorlagen\\" + ToCp1252(taskFolderName) + ".txt";
    TextReadLimit limit;
    limit.skipEmptyLines = true;
    limit.maxLines = 1000;
    if (!taskFolderName.isEmpty() && ReadTextFileLines(env.NativePath(file), lines, limit))
        for (const Bytes& line : lines) headings << FromCp1252(line);
    if (headings.isEmpty()) headings << QStringLiteral("Aufgaben");
    return headings;
}

QString WorksheetFileName(const QString& taskFile) {
    QString name = QFileInfo(taskFile).completeBaseName();  // up to the last dot
    if (name.count(u' ') == 1) {
        const qsizetype blank = name.indexOf(u' ');
        name = name.mid(blank + 1) + u' ' + name.left(blank);
    }
    return name + QLatin1String(".html");
}

}  // namespace radevir
