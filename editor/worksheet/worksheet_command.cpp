#include "editor/worksheet/worksheet_command.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

#include "editor/task_tools.h"
#include "editor/worksheet/worksheet_input.h"
#include "support/codepage.h"
#include "support/program_environment.h"
#include "support/text_file.h"

namespace radevir {

std::vector<Bytes> CommandSheetLines(const std::vector<Bytes>& lines, bool asIs) {
    if (asIs) return lines;
    std::vector<Bytes> out;
    out.reserve(lines.size());
    for (const Bytes& line : lines) {
        if (line.find('_') != Bytes::npos) {
            out.push_back(line);
            continue;
        }
        Bytes compact = line;
        std::erase(compact, ' ');
        out.push_back(ToCp1252(MarkResults({FromCp1252(compact)}).front()));
    }
    return out;
}

SheetFromFile ReadSheetRequest(const ProgramEnvironment& env, const QString& taskFile, bool asIs) {
    SheetFromFile out;
    const QFileInfo info(taskFile);
    if (!info.exists()) {
        out.error = QStringLiteral("no such task file");
        return out;
    }
    if (!info.isFile()) {
        out.error = QStringLiteral("not a task file");
        return out;
    }
    std::vector<Bytes> lines;
    if (!ReadTextFileLines(info.absoluteFilePath(), lines)) {
        out.error = QStringLiteral("the task file cannot be read");
        return out;
    }
    out.request.taskLines = WorksheetTaskLines(CommandSheetLines(lines, asIs));
    const bool anyTask = std::any_of(
        out.request.taskLines.begin(), out.request.taskLines.end(),
        [](const QString& line) { return !line.trimmed().isEmpty() && !line.startsWith(u';'); });
    if (!anyTask) {
        out.error = QStringLiteral("the task file holds no tasks");
        return out;
    }
    out.request.headings = WorksheetHeadings(env, info.absoluteDir().dirName());
    out.request.templatePath = env.NativePath("vorlagen\\Aufgaben.html");
    return out;
}

QString FreeSheetName(const QString& taskFile, QStringList& taken) {
    const QString stem = QFileInfo(WorksheetFileName(taskFile)).completeBaseName();
    QString name = stem;
    // letter case counts on this disk but not on a school's USB stick the sheets may go onto
    for (int n = 2; taken.contains(name, Qt::CaseInsensitive); ++n)
        name = stem + QStringLiteral(" (%1)").arg(n);
    taken << name;
    return name;
}

int RunWorksheetCommand(const ProgramEnvironment& env, const QStringList& taskFiles,
                        const WorksheetCommandOptions& options, QTextStream& err) {
    bool failed = false;
    std::vector<WorksheetRequest> requests;
    QStringList files;  // the task file of each request
    for (const QString& taskFile : taskFiles) {
        SheetFromFile sheet = ReadSheetRequest(env, taskFile, options.asIs);
        if (!sheet.error.isEmpty()) {
            err << "radevir: " << taskFile << ": " << sheet.error << "\n";
            failed = true;
            continue;
        }
        requests.push_back(std::move(sheet.request));
        files << taskFile;
    }
    err.flush();
    if (requests.empty()) return 1;

    const QDir outFolder(options.launch.printTo);
    if (!QDir().mkpath(outFolder.absolutePath())) {
        err << "radevir: cannot make the folder " << options.launch.printTo << "\n";
        err.flush();
        return 1;
    }
    QStringList taken;
    for (size_t i = 0; i < requests.size(); ++i) {
        const QString name = FreeSheetName(files[static_cast<qsizetype>(i)], taken);
        requests[i].pagePath = outFolder.absoluteFilePath(name + QLatin1String(".html"));
        requests[i].savePath = requests[i].pagePath;
    }
    WorksheetLaunchOptions launch = options.launch;
    launch.printTo = outFolder.absolutePath();
    const int made = ExportWorksheets(env, requests, launch, err);
    return failed || made != 0 ? 1 : 0;
}

}  // namespace radevir
