// Opens the list chooser on a copy of a data kit's task folders and saves pictures of it, for
// looking at the window without running the whole program:
//   radevir_chooser_shot KIT_FOLDER OUTPUT_FOLDER
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QTreeWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "chooser/list_chooser_dialog.h"
#include "support/codepage.h"
#include "support/program_environment.h"
#include "support/text_file.h"

using namespace radevir;

namespace {

// Every copy carries one date, whenever the kit was built: pictures of the same kit then
// compare byte for byte.
bool CopyWithFixedDate(const QString& from, const QString& to) {
    static const QDateTime kShownDate(QDate(2024, 9, 2), QTime(8, 0));
    if (!QFile::copy(from, to)) return false;
    QFile copy(to);
    return copy.open(QIODevice::ReadWrite) &&
           copy.setFileTime(kShownDate, QFileDevice::FileModificationTime);
}

bool CopyFolder(const QString& folder, const QString& to) {
    const QString from = QDir(folder).absolutePath();
    bool ok = QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + "/" + QDir(from).relativeFilePath(src);
        ok = (it.fileInfo().isDir() ? QDir().mkpath(dst) : CopyWithFixedDate(src, dst)) && ok;
    }
    return ok;
}

bool Shoot(ListChooserDialog& chooser, const ListChooserRequest& request, const QString& png) {
    chooser.Prepare(request);
    chooser.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    chooser.Controls().lineList->setFocus();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    const bool saved = chooser.grab().save(png);
    chooser.reject();
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(png));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: radevir_chooser_shot KIT_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    const QString kit = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir scratch;
    if (!CopyFolder(kit + "/Aufgaben", scratch.path() + "/Aufgaben")) return 1;
    QDir().mkpath(out);
    ProgramEnvironment env((scratch.path() + "/").toStdString());
    WriteTextFileLines(scratch.path() + "/bgi7/letzte2.txt",
                       {ToCp1252(u"Kopfrechnen\\Lückenaufgaben bis 20.txt=3"),
                        "Kopfrechnen\\Test Plus und Minus bis 20 (TT).txt=5",
                        "Kopfrechnen\\Lernkartei\\Beispielkartei.txt=1"});
    WriteTextFileLines(scratch.path() + "/bgi7/letzte6.txt",
                       {"Schriftliches Rechnen\\Multiplikation\\Mit zweistelliger Zahl.txt=4"});

    ListChooserDialog chooser(env, nullptr);
    ListChooserRequest request;
    request.folder = "Aufgaben\\";
    request.lastName = "Kopfrechnen\\";
    request.recentFile = "bgi7\\letzte2.txt";
    bool ok = Shoot(chooser, request, out + "/chooser-kopfrechnen.png");

    WriteTextFileLines(scratch.path() + "/bgi7/letzte2.txt",
                       {"Kopfrechnen\\Test Plus und Minus bis 20 (TT).txt=5"});
    ok = Shoot(chooser, request, out + "/chooser-test.png") && ok;

    request.lastName = "Schriftliches Rechnen\\";
    request.recentFile = "bgi7\\letzte6.txt";
    request.showMultiplicationHelp = true;
    request.showCarry = true;
    ok = Shoot(chooser, request, out + "/chooser-schriftlich.png") && ok;

    request.editorFolder = "Aufgaben\\Kopfrechnen\\";
    request.recentFile = "bgi7\\letzte0.txt";
    ok = Shoot(chooser, request, out + "/chooser-editor.png") && ok;
    return ok ? 0 : 1;
}
