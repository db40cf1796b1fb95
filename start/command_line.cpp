#include "start/command_line.h"

#include <QRegularExpression>
#include <QtGlobal>

namespace radevir {

QString UsageText() {
    return QStringLiteral(
        "usage: radevir [--data DIR] [--settings FILE] [--script FILE] [--real-time] [--seed N]\n"
        "               [--size WxH] [--audio auto|null|disk:FILE] [--print-to DIR]\n"
        "               [--edit FILE] [--speak TEXT] [--print-picture FILE [--copies N]] [--help]\n"
        "       radevir [--data DIR] [--seed N] --worksheet TASKFILE... [--self-check] [--as-is]\n"
        "               --print-to DIR\n"
        "\n"
        "  --data DIR        use DIR as the program folder (a data kit, marked by radevir.kit)\n"
        "  --settings FILE   keep the user settings in FILE (ini format)\n"
        "  --script FILE     drive the program by the script FILE (virtual clock)\n"
        "  --real-time       with --script: run on the real clock\n"
        "  --seed N          seed of the random generator\n"
        "  --size WxH        client size of the window instead of the whole screen\n"
        "                    (80x50 to 16384x16384)\n"
        "  --audio OUTPUT    auto (sound device, else silent), null (silent, timed), or\n"
        "                    disk:FILE (write the samples to FILE; a name ending in\n"
        "                    .wav gets a wave file)\n"
        "  --print-to DIR    print into PDF files in DIR instead of the printer\n"
        "  --edit FILE       open the task editor on FILE at start\n"
        "  --speak TEXT      speak TEXT with the sound table and exit (0: spoken, 1: not)\n"
        "  --print-picture FILE  print the picture FILE (\"Clipboard.bmp\": the clipboard's)\n"
        "                    and exit; --copies N puts N copies across the page (1 to 20)\n"
        "  --worksheet TASKFILE...  write the worksheet of each TASKFILE as HTML and PDF\n"
        "                    into the --print-to folder and exit (0: all written, 1: not all;\n"
        "                    the others are written all the same); a line without any \"_\"\n"
        "                    gets its result after \"=\" as the gap to fill in\n"
        "  --self-check      with --worksheet: the sheets carry the self-check list\n"
        "  --as-is           with --worksheet: the lines as they stand, no results marked\n"
        "  --help            show this text\n");
}

CommandLine ParseCommandLine(const QStringList& args) {
    CommandLine cl;
    auto value = [&](qsizetype& i, const QString& name) -> std::optional<QString> {
        if (i + 1 >= args.size()) {
            cl.error = name + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        return args[++i];
    };
    for (qsizetype i = 0; i < args.size() && cl.error.isEmpty(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.help = true;
        } else if (a == QLatin1String("--real-time")) {
            cl.realTime = true;
        } else if (a == QLatin1String("--data")) {
            if (auto v = value(i, a)) cl.dataDir = *v;
        } else if (a == QLatin1String("--settings")) {
            if (auto v = value(i, a)) cl.settingsFile = *v;
        } else if (a == QLatin1String("--script")) {
            if (auto v = value(i, a)) cl.scriptFile = *v;
        } else if (a == QLatin1String("--print-to")) {
            if (auto v = value(i, a)) cl.printTo = *v;
        } else if (a == QLatin1String("--edit")) {
            if (auto v = value(i, a)) cl.editFile = *v;
        } else if (a == QLatin1String("--speak")) {
            if (auto v = value(i, a)) cl.speak = *v;
        } else if (a == QLatin1String("--print-picture")) {
            if (auto v = value(i, a)) cl.printPicture = *v;
        } else if (a == QLatin1String("--copies")) {
            if (auto v = value(i, a)) cl.copies = *v;
        } else if (a == QLatin1String("--worksheet")) {
            // every argument up to the next option is a task file: a shell pattern gives a week
            // (a file whose name starts with "--" is named as ./--name)
            while (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--")))
                cl.worksheet << args[++i];
            if (cl.worksheet.isEmpty()) cl.error = QStringLiteral("--worksheet needs a task file");
        } else if (a == QLatin1String("--self-check")) {
            cl.selfCheck = true;
        } else if (a == QLatin1String("--as-is")) {
            cl.asIs = true;
        } else if (a == QLatin1String("--seed")) {
            if (auto v = value(i, a)) {
                bool ok = false;
                const qulonglong n = v->toULongLong(&ok);
                if (ok) {
                    cl.seed = n;
                } else {
                    cl.error = QStringLiteral("--seed needs a whole number");
                }
            }
        } else if (a == QLatin1String("--size")) {
            if (auto v = value(i, a)) {
                static const QRegularExpression re(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
                const auto m = re.match(*v);
                const int width = m.hasMatch() ? m.captured(1).toInt() : 0;
                const int height = m.hasMatch() ? m.captured(2).toInt() : 0;
                if (width >= kMinClientWidth_px && height >= kMinClientHeight_px &&
                    width <= kMaxClientSide_px && height <= kMaxClientSide_px) {
                    cl.size = QSize(width, height);
                } else {
                    cl.error = QStringLiteral("--size needs WIDTHxHEIGHT, from %1x%2 to %3x%3")
                                   .arg(kMinClientWidth_px)
                                   .arg(kMinClientHeight_px)
                                   .arg(kMaxClientSide_px);
                }
            }
        } else if (a == QLatin1String("--audio")) {
            if (auto v = value(i, a)) {
                if (*v == QLatin1String("auto") || *v == QLatin1String("null") ||
                    (v->startsWith(QLatin1String("disk:")) && v->size() > 5)) {
                    cl.audio = *v;
                } else {
                    cl.error = QStringLiteral("--audio needs auto, null or disk:FILE");
                }
            }
        } else {
            cl.error = QStringLiteral("unknown argument: ") + a;
        }
    }
    const bool worksheet = !cl.worksheet.isEmpty();
    if (cl.error.isEmpty() && worksheet && cl.printTo.isEmpty())
        cl.error = QStringLiteral("--worksheet needs --print-to DIR");
    if (cl.error.isEmpty() && cl.selfCheck && !worksheet)
        cl.error = QStringLiteral("--self-check goes with --worksheet");
    if (cl.error.isEmpty() && cl.asIs && !worksheet)
        cl.error = QStringLiteral("--as-is goes with --worksheet");
    return cl;
}

DisplayEnvironment CurrentDisplayEnvironment() {
    DisplayEnvironment d;
    d.display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    d.platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    return d;
}

StartMode ChooseStartMode(const CommandLine& cl, DisplayEnvironment display) {
    if (cl.help) return StartMode::ShowUsage;
    if (!cl.error.isEmpty()) return StartMode::BadCommandLine;
    if (cl.speak) return StartMode::Speak;
    if (!cl.printPicture.isEmpty()) return StartMode::PrintPicture;
    if (!cl.worksheet.isEmpty()) return StartMode::Worksheet;
    if (display.display || display.platformChosen) return StartMode::Window;
    // a script needs no one to look at it: over ssh or in a build job it draws off screen
    return cl.scriptFile.isEmpty() ? StartMode::NoDisplay : StartMode::OffscreenWindow;
}

}  // namespace radevir
