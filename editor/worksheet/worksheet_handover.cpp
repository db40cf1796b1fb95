#include "editor/worksheet/worksheet_handover.h"

#include <QList>

namespace radevir {

namespace {

constexpr QLatin1String kFirstLine("radevir-worksheet-request 1");
// far more lines than any task list; a file beyond them is not a request
constexpr qsizetype kMaxLines = 100000;

QByteArray OneLine(const QString& value) {
    QByteArray bytes = value.toUtf8();
    for (char& c : bytes)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return bytes;
}

}  // namespace

QByteArray WriteHandover(const WorksheetHandover& h) {
    const WorksheetRequest& r = h.request;
    QByteArray out = QByteArray(kFirstLine.data(), kFirstLine.size()) + '\n';
    auto put = [&out](const char* key, const QString& value) {
        out += key;
        out += '=';
        out += OneLine(value);
        out += '\n';
    };
    put("rows", r.rows);
    put("columns", r.columns);
    put("start", r.start);
    put("page", r.pagePath);
    put("template", r.templatePath);
    put("save", r.savePath);
    put("folder", h.programFolder);
    put("selfcheck", h.selfCheck ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QString& heading : r.headings) put("heading", heading);
    for (const QString& line : r.taskLines) put("task", line);
    return out;
}

bool ReadHandover(const QByteArray& bytes, WorksheetHandover& out, QString* error) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (bytes.size() > kMaxHandoverBytes)
        return fail(QStringLiteral("the request file is too large"));
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() > kMaxLines)
        return fail(QStringLiteral("the request file has too many lines"));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    if (lines.isEmpty() || lines.front() != QByteArray(kFirstLine.data(), kFirstLine.size()))
        return fail(QStringLiteral("not a worksheet request (its first line is wrong)"));
    out = WorksheetHandover{};
    WorksheetRequest& r = out.request;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) return fail(QStringLiteral("line %1 of the request holds no \"=\"").arg(i + 1));
        const QByteArray key = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1));
        if (key == "rows")
            r.rows = value;
        else if (key == "columns")
            r.columns = value;
        else if (key == "start")
            r.start = value;
        else if (key == "page")
            r.pagePath = value;
        else if (key == "template")
            r.templatePath = value;
        else if (key == "save")
            r.savePath = value;
        else if (key == "folder")
            out.programFolder = value;
        else if (key == "selfcheck")
            out.selfCheck = value == QLatin1String("1");
        else if (key == "heading")
            r.headings << value;
        else if (key == "task")
            r.taskLines << value;
        else
            return fail(QStringLiteral("line %1 of the request has an unknown key").arg(i + 1));
    }
    if (r.pagePath.isEmpty() || r.templatePath.isEmpty())
        return fail(QStringLiteral("the request names no page or no template"));
    return true;
}

QString WorksheetUsageText() {
    return QStringLiteral(
        "usage: radevir-worksheet --request FILE [--self-check] [--seed N] [--print-to DIR]\n"
        "                         [--click BUTTON]... [--screenshot FILE]\n"
        "       radevir-worksheet --request FILE... [--self-check] [--seed N] --print-to DIR\n"
        "                         --export\n"
        "\n"
        "  --request FILE     the worksheet to show, as the program hands it over\n"
        "  --self-check       start with the self-check list on the sheet\n"
        "  --seed N           seed of the answers' shuffle (the n-th sheet of an export: N + n)\n"
        "  --print-to DIR     print into PDF files in DIR instead of the printer\n"
        "  --export           no window: write each request's page and its PDF into\n"
        "                     --print-to DIR (one start of the web engine for all)\n"
        "  --click BUTTON     press the button of that name once the page is shown\n"
        "                     (Speed_print, SpeedButton1, Check_selbstkontrolle, ...)\n"
        "  --screenshot FILE  save the window as a PNG once the page is shown, then end\n");
}

WorksheetCommandLine ParseWorksheetCommandLine(const QStringList& args) {
    WorksheetCommandLine cl;
    auto value = [&](qsizetype& i) -> QString {
        if (i + 1 >= args.size()) {
            cl.error = args[i] + QStringLiteral(" needs a value");
            return {};
        }
        return args[++i];
    };
    for (qsizetype i = 0; i < args.size() && cl.error.isEmpty(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.help = true;
        } else if (a == QLatin1String("--self-check")) {
            cl.selfCheck = true;
        } else if (a == QLatin1String("--export")) {
            cl.exportOnly = true;
        } else if (a == QLatin1String("--request")) {
            cl.requestFiles << value(i);
        } else if (a == QLatin1String("--print-to")) {
            cl.printTo = value(i);
        } else if (a == QLatin1String("--click")) {
            cl.clicks << value(i);
        } else if (a == QLatin1String("--screenshot")) {
            cl.screenshot = value(i);
        } else if (a == QLatin1String("--seed")) {
            const QString v = value(i);
            bool ok = false;
            const qulonglong n = v.toULongLong(&ok);
            if (ok)
                cl.seed = n;
            else if (cl.error.isEmpty())
                cl.error = QStringLiteral("--seed needs a whole number");
        } else {
            cl.error = QStringLiteral("unknown argument: ") + a;
        }
    }
    if (cl.error.isEmpty() && !cl.help) {
        if (cl.requestFiles.isEmpty() || cl.requestFiles.contains(QString()))
            cl.error = QStringLiteral("--request FILE is missing");
        else if (cl.exportOnly && cl.printTo.isEmpty())
            cl.error = QStringLiteral("--export needs --print-to DIR");
        else if (!cl.exportOnly && cl.requestFiles.size() > 1)
            cl.error = QStringLiteral("the window shows one request; several go with --export");
    }
    return cl;
}

}  // namespace radevir
