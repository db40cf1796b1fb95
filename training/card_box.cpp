#include "training/card_box.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <vector>

#include "console/card_box_port.h"
#include "console/console.h"
#include "exercises/file_screen.h"
#include "exercises/session.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "training/menu_screen.h"

namespace radevir {

namespace {

constexpr int kMessageBackground = 1;
constexpr int kMessageText = 15;
constexpr double kMessageShownMs = 3000;
constexpr qint64 kCopyChunkBytes = 64 * 1024;
constexpr std::string_view kLineEnd = "\r\n";

// What the new lines must look like to fit the file they are added to.
struct ExistingFile {
    bool exists = false;
    bool utf8 = false;          // the program reads it as UTF-8, so new lines are written so too
    bool lastLineOpen = false;  // its last line has no line end yet
};

ExistingFile LookAtExistingFile(const QString& path) {
    ExistingFile out;
    if (!QFileInfo(path).isFile()) return out;
    out.exists = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) return out;
    // decided on the same start of the file the task list reader decides on
    const QByteArray start = file.read(TextReadLimit::kDefaultMaxBytes);
    const std::string_view bytes(start.constData(), static_cast<size_t>(start.size()));
    out.utf8 = DecodeTextFileBytes(bytes, file.size() > start.size()) != bytes;
    char last = 0;
    if (file.seek(file.size() - 1) && file.getChar(&last))
        out.lastLineOpen = last != '\n' && last != '\r';
    return out;
}

Bytes LinesToAdd(const Session& s, int count, const ExistingFile& existing) {
    Bytes out;
    if (existing.lastLineOpen) out += kLineEnd;
    const int last = std::clamp(count, 0, ExerciseRun::kMaxTasks);
    for (int i = 1; i <= last; ++i) {
        const Bytes& line = s.run.wrongTaskList[static_cast<size_t>(i)];
        out += existing.utf8 ? FromCp1252(line).toUtf8().toStdString() : line;
        out += kLineEnd;
    }
    return out;
}

// The old bytes and the new lines go into a new file that replaces the old one only when all of
// it was written.
bool WriteThroughCopy(const QString& path, bool exists, const Bytes& added) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (exists) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) return false;
        while (!old.atEnd()) {
            const QByteArray chunk = old.read(kCopyChunkBytes);
            if (chunk.isEmpty() || out.write(chunk) != chunk.size()) return false;
        }
    }
    const auto size = static_cast<qint64>(added.size());
    return out.write(added.data(), size) == size && out.commit();
}

// A folder that allows no new file beside the card box: append in place, and cut a failed
// append back to the old length.
bool AppendInPlace(const QString& path, const Bytes& added) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    const qint64 oldSize = file.size();
    const auto size = static_cast<qint64>(added.size());
    if (file.seek(oldSize) && file.write(added.data(), size) == size && file.flush()) return true;
    file.resize(oldSize);
    return false;
}

void ClearToMessageColours(Console& c) {
    c.Window(1, 1, 80, 25);
    c.TextBackground(kMessageBackground);
    c.TextColor(kMessageText);
    c.ClrScr();
}

void ShowSavedMessage(Console& c, const QString& path, bool appended) {
    const Bytes name = ToCp1252(QFileInfo(path).fileName());
    ClearToMessageColours(c);
    c.GotoXY(1, 1);
    c.Write("Schwierige Aufgaben wurden ");
    c.GotoXY(1, 2);
    c.Write(appended ? "der Lernkartei " + name + " hinzugefügt!"_b
                     : "in der Lernkartei " + name + " gespeichert!");
    c.GotoXY(3, 4);
    c.Write("Taste");
    // the key that ends the wait must not reach the menu, where it would start a program
    WaitForKeyOrTimeout(c, kMessageShownMs);
}

}  // namespace

Bytes CardBoxFolder(const Session& s, ProgramCode program) {
    const char* programFolder =
        program == ProgramCode::WrittenArithmetic ? "\\Schriftliches Rechnen" : "\\Kopfrechnen";
    return s.ProgramFolder() + s.taskFolder + programFolder + "\\Lernkartei";
}

void OfferCardBox(Session& s) {
    if (s.run.tasksDone <= 0) return;
    if (s.run.wrongCount > 0) SaveCardBoxDialog(s, s.programCode);
}

void SaveCardBoxDialog(Session& s, ProgramCode program) {
    for (ProgramCode each : {ProgramCode::MentalArithmetic, ProgramCode::WrittenArithmetic}) {
        const Bytes folder = CardBoxFolder(s, each);
        if (!QDir().mkpath(s.env.NativePath(folder))) {
            ShowFileError(s, folder);
            return;
        }
    }
    CardBoxDialogPort* dialog = s.console.CardBoxDialog();
    if (dialog == nullptr) return;
    // The dialog stands on the screen its message will use, not on what the run left behind
    // (a written-arithmetic sheet, wiped or not, in the text screen's proportions).
    ClearToMessageColours(s.console);
    CardBoxSaveRequest request;
    request.folder = s.env.NativePath(CardBoxFolder(s, program));
    request.title = QStringLiteral("Lernkartei speichern");
    request.nameFilters = QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)");
    request.defaultSuffix = QStringLiteral("txt");
    const std::optional<QString> chosen = dialog->AskSaveFileName(request);
    if (!chosen || chosen->isEmpty()) return;
    // "karte" typed for an existing "Karte.txt" adds to that card box, as on the school's disks
    AppendToCardBox(s, s.run.wrongCount, FindPathIgnoringCase(*chosen));
}

bool AppendToCardBox(Session& s, int count, const QString& nativePath) {
    const ExistingFile existing = LookAtExistingFile(nativePath);
    const Bytes added = LinesToAdd(s, count, existing);
    const bool written = WriteThroughCopy(nativePath, existing.exists, added) ||
                         (existing.exists && AppendInPlace(nativePath, added));
    if (!written) {
        ShowFileError(s, ToCp1252(nativePath));
        return false;
    }
    ShowSavedMessage(s.console, nativePath, existing.exists);
    return true;
}

}  // namespace radevir
