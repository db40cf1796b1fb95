#include "exercises/protocol.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

#include "exercises/session.h"
#include "support/text_file.h"
#include "tests/exercises/session_fixture.h"

using namespace radevir;
using radevir::test::SessionFixture;

namespace {

struct ProtocolFixture : SessionFixture {
    std::vector<Bytes> printed;
    std::vector<Bytes> documentNames;

    ProtocolFixture() {
        session.printPrinterTextFile = [this](const Bytes& name) {
            printed.push_back(dir.Read("LPTB.TXT").toStdString());
            documentNames.push_back(name);
        };
        session.practisedFiles = "Plus bis 10.txt/Minus bis 10.txt";
        session.protocolLines[0] = "  3    3+4=7                         ";
        session.protocolLines[1] = "  5 F  5-2=3                         (4)3 ";
        session.protocolLines[2] = "  2    6+1=7                         ";
        session.protocolCount = 3;
    }
    std::vector<Bytes> FileLines(const QString& relative) const {
        std::vector<Bytes> lines;
        ReadTextFileLines(dir.Path() + "/" + relative, lines);
        return lines;
    }
};

Bytes Join(const std::vector<Bytes>& lines) {
    Bytes out;
    for (const Bytes& l : lines) out += l + "\r\n";
    return out;
}

}  // namespace

// The printed protocol: header with the practised files and today's date, the note on column
// arithmetic only after it, the column header, every entry up to the count, a form feed.
TEST(PrintProtocol, WritesThePrinterTextFileAndPrints) {
    for (const bool columnArithmetic : {false, true}) {
        ProtocolFixture f;
        f.session.programCode =
            columnArithmetic ? ProgramCode::WrittenArithmetic : ProgramCode::MentalArithmetic;
        PrintProtocol(f.session);
        ASSERT_EQ(f.printed.size(), 1u);
        EXPECT_EQ(f.documentNames, std::vector<Bytes>{"Lehrerprotokoll 2025-03-03"});
        const Bytes date = ProtocolDate(f.console.TodayParts());
        std::vector<Bytes> expected{
            "",
            "",
            "          Lehrerprotokoll  Name:_________________________  " + date,
            "",
            "",
            "          Dateiname : Plus bis 10.txt/Minus bis 10.txt",
            "          Protokoll vom : " + date,
        };
        if (columnArithmetic) {
            expected.insert(
                expected.end(),
                {
                    "          Achtung, beim schriftlichen Rechen erfolgt die Eingabe von",
                    "          rechts nach links. Bei schriftl. Multiplikation/Division",
                    "          wird die Zwischenrechnung auch dokumentiert.",
                    "          Zur genauen Fehleranalyse wird empfohlen, die Aufgabe",
                    "          nochmals selbst am Rechner nachzuvollziehen.",
                });
        }
        expected.insert(
            expected.end(),
            {
                "          Zahlen in () sind fehlerhafte Eingaben, (H1) Hilfe 1 wurde",
                "          aufgerufen, bei H4 wurde die einzugebende Zahl eingeblendet.",
                "          In Testdateien (TT) stehen \xFC"
                "ber den Aufgaben Hinweise auf",
                "          Dateien, mit denen bei Fehlern weitergearbeitet werden sollte.",
                "        Zeit  Aufgabe:                  Eingabeprotokoll bei Fehler",
                "          3    3+4=7                         ",
                "          5 F  5-2=3                         (4)3 ",
                "          2    6+1=7                         ",
                "        ",
                "\f",
            });
        EXPECT_EQ(f.printed[0], Join(expected)) << columnArithmetic;
    }
}

TEST(PrintProtocol, EmptyProtocolAndUnwritableFile) {
    ProtocolFixture f;
    f.session.protocolCount = 0;
    PrintProtocol(f.session);
    ASSERT_EQ(f.printed.size(), 1u);
    EXPECT_EQ(f.printed[0], "          Keine Daten vorhanden.\r\n\f\r\n");

    ProtocolFixture g;
    QDir().mkpath(g.dir.Path() + "/LPTB.TXT");  // a folder in the way: nothing is printed
    PrintProtocol(g.session);
    EXPECT_TRUE(g.printed.empty());
}

TEST(ProtocolDate, WithoutLeadingZeros) {
    EXPECT_EQ(ProtocolDate({2026, 3, 9, 1, "09.03.2026"}), "9.3.2026");
    EXPECT_EQ(ProtocolDate({2026, 12, 24, 1, "24.12.2026"}), "24.12.2026");
}

// Only runs with a task count, and the reading test never does.
TEST(PractisedFiles, JoinsTheRunsFileNames) {
    SessionFixture f;
    const struct {
        const char* file;
        int tasks;
        bool reading;
    } runs[] = {{"a.txt", 4, false}, {"b.txt", 0, false}, {"c.txt", 2, true}, {"d.txt", 1, false}};
    for (const auto& r : runs) {
        f.session.tasks.fileName = r.file;
        f.session.run.tasksDone = r.tasks;
        f.session.readingMode = r.reading;
        AddPractisedFile(f.session);
    }
    EXPECT_EQ(f.session.practisedFiles, "a.txt/d.txt");
}

// "Lehrer": Protokoll\LEHRER.TXT with its own name, the practised files, the date and the
// entries; the result on the screen. A folder that cannot be made gives the error line.
TEST(SaveProtocol, TeacherFile) {
    ProtocolFixture f;
    f.session.options.protocol = option::Protocol::kTeacher;
    EXPECT_EQ(SaveProtocol(f.session), ProtocolSaveResult::Saved);
    const Bytes date = ProtocolDate(f.console.TodayParts());
    const std::vector<Bytes> expected{"LEHRER.TXT",
                                      "Plus bis 10.txt/Minus bis 10.txt",
                                      date,
                                      "  3    3+4=7                         ",
                                      "  5 F  5-2=3                         (4)3 ",
                                      "  2    6+1=7                         ",
                                      ""};
    EXPECT_EQ(f.FileLines("Protokoll/LEHRER.TXT"), expected);
    EXPECT_EQ(f.Text(2, 10, 40), "Protokoll Lehrer.txt speichern ist aktiv");
    EXPECT_EQ(f.Text(4, 10, 40), ".\\PROTOKOLL\\LEHRER.TXT wurde gespeichert");

    ProtocolFixture g;
    g.session.options.protocol = option::Protocol::kTeacher;
    g.dir.Write("Protokoll", "not a folder");
    EXPECT_EQ(SaveProtocol(g.session), ProtocolSaveResult::Failed);
    EXPECT_EQ(g.Text(4, 10, 42), "FEHLER beim Speichern des Lehrerprotokolls");
    EXPECT_EQ(g.dir.Read("Protokoll"), "not a folder");
}

// "unter Namen": the typed name (upper case, ".TXT"), Esc saves nothing, and a name already
// taken — in the listed task folder or among the saved protocols — is replaced only after "j".
TEST(SaveProtocol, UnderATypedName) {
    const struct {
        const char* keys;
        const char* existingTaskFile;      // in the listed task folder
        const char* existingProtocolFile;  // in Protokoll/
        const char* savedAs;               // nullptr: nothing saved
    } cases[] = {
        {"klasse3a\r", nullptr, nullptr, "KLASSE3A.TXT"},
        {"anna\x1b", nullptr, nullptr, nullptr},
        {"anna\rn", "ANNA.TXT", nullptr, nullptr},
        {"anna\rj", "ANNA.TXT", nullptr, "ANNA.TXT"},
        {"anna\rn", nullptr, "ANNA.TXT", nullptr},
        {"anna\rj", nullptr, "ANNA.TXT", "ANNA.TXT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        ProtocolFixture f;
        f.UseRegionFile("frage.mtb");
        f.session.options.protocol = option::Protocol::kUnderName;
        if (c.existingTaskFile)
            f.dir.Write(QStringLiteral("Aufgaben/") + c.existingTaskFile, "3+4=7\r\n");
        if (c.existingProtocolFile)
            f.dir.Write(QStringLiteral("Protokoll/") + c.existingProtocolFile, "old\r\n");
        f.Keys(c.keys);
        const ProtocolSaveResult result = SaveProtocol(f.session);
        EXPECT_EQ(f.readKeyAborts, 0);
        if (c.savedAs) {
            EXPECT_EQ(result, ProtocolSaveResult::Saved);
            const std::vector<Bytes> lines = f.FileLines(QStringLiteral("Protokoll/") + c.savedAs);
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines[0], c.savedAs);
            EXPECT_EQ(lines.size(), 7u);
        } else {
            EXPECT_EQ(result, ProtocolSaveResult::NotSaved);
            if (c.existingProtocolFile) {
                EXPECT_EQ(f.dir.Read(QStringLiteral("Protokoll/") + c.existingProtocolFile),
                          "old\r\n");
            } else {
                EXPECT_FALSE(QDir(f.dir.Path() + "/Protokoll").exists());
            }
        }
        if (c.existingTaskFile) {
            EXPECT_EQ(f.dir.Read(QStringLiteral("Aufgaben/") + c.existingTaskFile), "3+4=7\r\n");
        }
    }
}
