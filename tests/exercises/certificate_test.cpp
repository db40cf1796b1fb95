#include "exercises/certificate.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <deque>

#include "console/dos_keys.h"
#include "exercises/session.h"
#include "tests/exercises/session_fixture.h"

using namespace radevir;
using radevir::test::SessionFixture;

namespace {

const QString kExpectedDir = QStringLiteral(RADEVIR_TEST_SOURCE_DIR) + "/exercises/certificates/";

// The printer text in a form a person can read and review as a diff: UTF-8, the printer codes
// in braces, one line per line.
QString Readable(const Bytes& printerText) {
    QString out;
    for (size_t i = 0; i < printerText.size(); ++i) {
        const auto c = static_cast<unsigned char>(printerText[i]);
        if (c == '\r' && i + 1 < printerText.size() && printerText[i + 1] == '\n') continue;
        if (c == 0x1B)
            out += "{ESC}";
        else if (c == '\f')
            out += "{FF}";
        else if (c < 0x20 && c != '\n')
            out += QStringLiteral("{%1}").arg(c);
        else
            out += QChar(c);  // Windows-1252 letters of these texts are Latin-1 letters
    }
    return out;
}

// Compares with the expected file beside the test; a mismatch leaves the actual text next to it.
void ExpectMatchesFile(const Bytes& printerText, const QString& name) {
    const QString actual = Readable(printerText);
    QFile file(kExpectedDir + name);
    const QString expected =
        file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    const QStringList actualLines = actual.split('\n');
    const QStringList expectedLines = expected.split('\n');
    bool same = actualLines == expectedLines;
    for (qsizetype i = 0; i < std::min(actualLines.size(), expectedLines.size()); ++i) {
        if (actualLines[i] != expectedLines[i]) {
            ADD_FAILURE() << qPrintable(name) << " line " << i + 1
                          << ":\n  expected: " << qPrintable(expectedLines[i])
                          << "\n  actual:   " << qPrintable(actualLines[i]);
            break;
        }
    }
    if (!same) {
        EXPECT_EQ(actualLines.size(), expectedLines.size()) << qPrintable(name);
        QString actualName = name;
        QFile out(kExpectedDir + actualName.replace(".txt", ".actual.txt"));
        if (out.open(QIODevice::WriteOnly)) out.write(actual.toUtf8());
        ADD_FAILURE() << "see " << qPrintable(out.fileName());
    }
}

CertificateFacts Facts(const char* name, int tasks, int wrongTask, int seconds) {
    CertificateFacts f;
    f.childFirstName = name;
    f.programName = "Kopfrechnen";
    f.taskFileName = "Plus bis 10.txt";
    f.seconds = seconds;
    f.date = {2026, 12, 9, 3, "09.12.2026"};
    for (int i = 1; i <= tasks; ++i) {
        Bytes entry = std::to_string(i) + "+3=" + std::to_string(i + 3);
        if (i == wrongTask) {
            entry = Bytes(29, ' ') + entry;
            ++f.wrongCount;
        }
        f.taskHistory.push_back((i < 10 ? "  " : " ") + std::to_string(i) + "  " + entry);
    }
    return f;
}

// A session whose ReadKey gets the scripted keys one at a time, each when the dialogue waits for
// it (the dialogue reads away keys that are already waiting).
struct CertificateFixture : SessionFixture {
    std::deque<std::pair<unsigned char, bool>> pending;
    std::vector<Bytes> printed;
    std::vector<Bytes> documentNames;

    CertificateFixture() {
        host.onPump = [this] {
            if (!console.WaitingForKey() || !console.Keys().Empty()) return;
            if (pending.empty()) {
                ++readKeyAborts;
                console.RequestAbort();
                return;
            }
            console.AppendKey(pending.front().first, pending.front().second);
            pending.pop_front();
        };
        session.printPrinterTextFile = [this](const Bytes& name) {
            printed.push_back(dir.Read("LPTB.TXT").toStdString());
            documentNames.push_back(name);
        };
        session.programCode = ProgramCode::MentalArithmetic;
        session.taskFilePath = "/kit/Aufgaben/Kopfrechnen/Plus bis 10.txt";
        const CertificateFacts f = Facts("", 4, 2, 0);
        session.run.tasksDone = 4;
        session.run.wrongCount = 1;
        for (int i = 0; i < 4; ++i)
            session.run.taskHistory[static_cast<size_t>(i + 1)] =
                f.taskHistory[static_cast<size_t>(i)];
    }
    void Type(std::string_view keys) {
        for (char c : keys) pending.emplace_back(static_cast<unsigned char>(c), false);
    }
};

}  // namespace

// Whole documents, line for line: the praise only without wrong tasks, the underline for a
// one-letter name, the empty lines that keep the closing lines at one height for short lists
// and none for 40 tasks, a wrong task in the "Probleme bei:" column, minutes and seconds.
TEST(CertificateDocument, MatchesTheExpectedDocuments) {
    const struct {
        const char* file;
        CertificateFacts facts;
    } cases[] = {
        {"four_tasks_one_wrong.txt", Facts("Anna", 4, 3, 75)},
        {"one_letter_name_all_right.txt", Facts("A", 4, 0, 59)},
        {"forty_tasks.txt", Facts("Ben", 40, 0, 600)},
    };
    for (const auto& c : cases) ExpectMatchesFile(CertificateDocument(c.facts, 1), c.file);
}

TEST(CertificateDocument, ProgramNamesAndTaskFile) {
    SessionFixture f;
    Session& s = f.session;
    s.options.buildUpTime = 300;
    s.options.holdTime = 1200;
    const struct {
        ProgramCode code;
        bool computeMode, readingMode;
        const char* name;
    } cases[] = {
        {ProgramCode::MemoriseOnly, false, false, "Nur Merken"},
        {ProgramCode::MemoriseOnly, true, false, "Merken und rechnen"},
        {ProgramCode::CopyTask, false, false, "Abschreiben"},
        {ProgramCode::CopyTask, false, true,
         "Lesen + Testen\r\n          Aufbau: 300    Halten: 1200"},
        {ProgramCode::Dictation, false, false, "Diktieren"},
        {ProgramCode::WrittenArithmetic, false, false, "Schriftliches Rechnen"},
        {ProgramCode::Tachistoscope, false, false, "Tachistoskop"},
    };
    for (const auto& c : cases) {
        s.programCode = c.code;
        s.computeMode = c.computeMode;
        s.readingMode = c.readingMode;
        EXPECT_EQ(CertificateProgramName(s), c.name);
    }
    s.taskFilePath = "";
    EXPECT_EQ(CertificateFactsOf(s, "Anna").taskFileName, "ohne Namen");
    s.taskFilePath = "/x/Aufgaben\\Einmaleins.txt";
    EXPECT_EQ(CertificateFactsOf(s, "Anna").taskFileName, "Einmaleins.txt");
}

TEST(CertificateDocument, TaskLinesLeaveOutLowerCaseLettersAndTheCharacterAfterAGap) {
    const struct {
        const char* entry;
        const char* printed;
    } cases[] = {
        {"  4  7 mal 8=56", "  4  7  8=56"},
        {"  4  3+_4=7", "  4  3+_=7"},
        {"  4  3+_ab4=7", "  4  3+_=7"},
        {"  4  Größe 5", "  4  Göß 5"},  // only a to z count as lower-case letters
    };
    for (const auto& c : cases) EXPECT_EQ(CertificateTaskLine(c.entry), c.printed) << c.entry;
}

TEST(CertificateNameField, KeyRules) {
    using End = NameFieldStep::End;
    const struct {
        const char* typed;
        const char* name;
        int bells;
        End end;
    } cases[] = {
        {"anna\r", "Anna", 0, End::Print},
        {"\x1b", "", 0, End::Cancel},
        {"ab\bx\r", "Ax", 0, End::Print},
        {"\b\b\r", "", 0, End::Print},
        {"anna2", "Anna2", 0, End::PrintTwice},
        {"2", "2", 0, End::PrintTwice},
        {"abcdefghijklmnopq\r", "Abcdefghijklmnop", 1, End::Print},
        {"abcdefghijklmnop2", "Abcdefghijklmnop", 1, End::PrintTwice},
    };
    for (const auto& c : cases) {
        NameFieldStep step;
        int bells = 0;
        for (const char* k = c.typed; *k && step.end == End::None; ++k) {
            step = NameFieldKey(step.name, static_cast<unsigned char>(*k), false);
            bells += step.bell ? 1 : 0;
        }
        EXPECT_EQ(step.name, c.name) << c.typed;
        EXPECT_EQ(bells, c.bells) << c.typed;
        EXPECT_EQ(step.end, c.end) << c.typed;
    }
    // a cursor key shares its code with a letter ("K" is Left) but is no part of a name
    EXPECT_EQ(NameFieldKey("Anna", doskey::kLeft, true).name, "Anna");
}

// Typing the name in the dialogue: the first letter upper-cased, "2" printing two certificates
// with the name ending in "2", the run's duration from the run stopwatch, and the name kept for
// the next certificate.
TEST(OfferCertificate, PrintsWhatWasTyped) {
    CertificateFixture f;
    f.session.run.runStopwatch.Start(f.clock);
    f.clock.SleepMs(75'000);
    f.Keys("xyz");  // typed before the dialogue: not part of the name
    f.Type("anna2");
    OfferCertificate(f.session);
    ASSERT_EQ(f.printed.size(), 1u);
    const CertificateFacts facts = CertificateFactsOf(f.session, "Anna2");
    EXPECT_EQ(f.printed[0], CertificateDocument(facts, 2));
    EXPECT_NE(f.printed[0].find("Arbeitszeugnis f\xFCr Anna2\r\n"), Bytes::npos);
    EXPECT_NE(f.printed[0].find("Dauer der gesamten \xDC"
                                "bung: 1 min. 15 sek."),
              Bytes::npos);
    EXPECT_EQ(f.session.childFirstName, "Anna2");
    EXPECT_EQ(f.Text(14, 33, 16), "Anna2           ");

    f.Type("\b\r");  // the next run: the field shows the name, Backspace takes the "2" away
    OfferCertificate(f.session);
    ASSERT_EQ(f.printed.size(), 2u);
    EXPECT_NE(f.printed[1].find("Arbeitszeugnis f\xFCr Anna\r\n"), Bytes::npos);
    EXPECT_EQ(f.printed[1].find("Arbeitszeugnis", f.printed[1].find("Arbeitszeugnis") + 1),
              Bytes::npos);

    // each print is named after the child and the day on the program's clock; the "2" that
    // asked for two copies is no part of the child's name
    EXPECT_EQ(f.documentNames,
              (std::vector<Bytes>{"Zeugnis Anna 2025-03-03", "Zeugnis Anna 2025-03-03"}));
    f.Type("\b\b\b\r");  // a one-letter name is printed as a line to fill in: no name in the file's
    OfferCertificate(f.session);
    ASSERT_EQ(f.documentNames.size(), 3u);
    EXPECT_EQ(f.documentNames[2], "Zeugnis 2025-03-03");
}

// Esc prints nothing; a printer text file that cannot be written says so in the box and asks
// again, and Esc then leaves.
TEST(OfferCertificate, EscapeAndPrinterNotReady) {
    {
        CertificateFixture f;
        f.Type("anna\x1b");
        OfferCertificate(f.session);
        EXPECT_TRUE(f.printed.empty());
        EXPECT_FALSE(QFile::exists(f.dir.Path() + "/LPTB.TXT"));
    }
    {
        CertificateFixture f;
        QDir().mkpath(f.dir.Path() + "/LPTB.TXT");  // a folder in the way
        f.Type("anna\r");
        bool messageShown = false;
        f.pending.emplace_back(doskey::kEscape, false);
        const auto pump = f.host.onPump;
        f.host.onPump = [&] {
            if (f.Text(11, 24, 29) == "Drucker nicht betriebsbereit!") messageShown = true;
            pump();
        };
        OfferCertificate(f.session);
        EXPECT_TRUE(messageShown);
        EXPECT_TRUE(f.printed.empty());
        EXPECT_EQ(f.readKeyAborts, 0);
    }
}
