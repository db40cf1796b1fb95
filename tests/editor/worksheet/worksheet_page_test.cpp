// The worksheet page: the template filled in, the answers shuffled per group, the table spacing,
// the sheet's input (spacing, headings, file name) and the hand-over to the worksheet process.
#include <gtest/gtest.h>

#include <QFile>
#include <set>

#include "editor/task_tools.h"
#include "editor/worksheet/page_access.h"
#include "editor/worksheet/worksheet_handover.h"
#include "editor/worksheet/worksheet_input.h"
#include "editor/worksheet/worksheet_page.h"
#include "support/program_environment.h"
#include "support/random.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

TEST(CommaListText, QuotesItemsWithBlanksCommasOrQuotes) {
    EXPECT_EQ(CommaListText({}), "");
    EXPECT_EQ(CommaListText({"a", "b c", "d,e", "say \"hi\"", " 17"}),
              "a,\"b c\",\"d,e\",\"say \"\"hi\"\"\",\" 17\"");
}

TEST(ShuffleAnswers, SwapsOnlyWithinEachGroupAndFollowsTheSeed) {
    QStringList answers;
    for (int i = 0; i < 25; ++i) answers << QString::number(i);
    QStringList shuffled = answers;
    Random random(7);
    ShuffleAnswers(shuffled, 20, random);
    const std::set<QString> firstGroup(shuffled.begin(), shuffled.begin() + 20);
    const std::set<QString> secondGroup(shuffled.begin() + 20, shuffled.end());
    EXPECT_EQ(firstGroup, std::set<QString>(answers.begin(), answers.begin() + 20));
    EXPECT_EQ(secondGroup, std::set<QString>(answers.begin() + 20, answers.end()));
    EXPECT_NE(shuffled, answers);
    QStringList again = answers;
    Random same(7);
    ShuffleAnswers(again, 20, same);
    EXPECT_EQ(again, shuffled);
}

TEST(TableSpacing, StepsByFiveAndTakesOnlyWholeNumbers) {
    EXPECT_EQ(SpacingPlus(10), 15);
    EXPECT_EQ(SpacingMinus(10), 5);
    EXPECT_EQ(SpacingMinus(5), 0);
    EXPECT_EQ(SpacingMinus(4), 4);
    EXPECT_EQ(SpacingTyped(10, " 12 "), 12);
    EXPECT_EQ(SpacingTyped(10, "1,5"), 10);
    EXPECT_EQ(SpacingTyped(10, "zehn"), 10);
    EXPECT_EQ(SpacingTyped(10, ""), 10);
}

TEST(FillWorksheetTemplate, PutsEveryValueInOnceAndEscapesTheTeachersText) {
    WorksheetValues v;
    v.shape = {8, 3, 21};
    v.headings = {"Plus <20> ", "Zweite "};
    v.tables = {"<table border=0>x</table>", "<table border=0>xxa</table>"};
    v.answers = {" 17", "-- "};
    v.selfCheck = true;
    v.tableSpacing_pt = 15;
    const QString page = FillWorksheetTemplate(
        "n=xab r=xxr c=xxs h=[\"xxt\"] e=[\"xxe\"] a=[\"xxa\"] table {margin-bottom:10pt;}", v);
    EXPECT_EQ(page,
              "n=21 r=8 c=3 h=[\"Plus &lt;20&gt; \",\"Zweite \"] e=[\" 17\",\"-- \"] "
              "a=[\"<table border=0>x</table>\",\"<table border=0>xxa</table>\"] "
              "table {margin-bottom:15pt;}");
    v.selfCheck = false;
    EXPECT_NE(FillWorksheetTemplate("e=[\"xxe\"]", v).indexOf("e=[]"), -1);
}

TEST(BuildWorksheetPage, WritesThePageOrLeavesItAsItWas) {
    test::ScratchDir dir;
    WorksheetRequest request;
    request.taskLines = {"3 < 5 = _1", "; not on the sheet", "3^2 = _9"};
    request.headings = {"Aufgaben "};
    request.templatePath =
        dir.Write("Aufgaben.html", "<p>xxr</p><script>t=[\"xxa\"];e=[\"xxe\"]</script>");
    request.pagePath = dir.Path() + "/construct.html";
    Random random(1);
    QString error;
    ASSERT_TRUE(BuildWorksheetPage(request, {true, 10}, random, &error)) << error.toStdString();
    const QString page = QString::fromUtf8(dir.Read("construct.html"));
    EXPECT_NE(page.indexOf("<p>10</p>"), -1);
    EXPECT_NE(page.indexOf(">&lt;</td>"), -1);
    EXPECT_NE(page.indexOf("3<sup>2</sup>"), -1);
    EXPECT_EQ(page.indexOf("not on the sheet"), -1);
    EXPECT_NE(page.indexOf("\" 1\""), -1);

    request.templatePath = dir.Path() + "/missing.html";
    EXPECT_FALSE(BuildWorksheetPage(request, {true, 10}, random, &error));
    EXPECT_NE(error.indexOf("missing.html"), -1);
    EXPECT_EQ(QString::fromUtf8(dir.Read("construct.html")), page);
}

TEST(BuildWorksheetPage, KeepsTheEncodingOfAWindowsTemplate) {
    test::ScratchDir dir;
    WorksheetRequest request;
    request.taskLines = {QString::fromUtf8("Übung 1 + 1 = _2")};
    request.templatePath = dir.Write("t.html", "<meta charset=windows-1252>\xdc [\"xxa\"]");
    request.pagePath = dir.Path() + "/p.html";
    Random random(1);
    ASSERT_TRUE(BuildWorksheetPage(request, {}, random, nullptr));
    const QByteArray page = dir.Read("p.html");
    EXPECT_TRUE(page.startsWith("<meta charset=windows-1252>\xdc"));
    EXPECT_NE(page.indexOf(">\xdc"
                           "bung</td>"),
              -1);
}

TEST(WorksheetInput, SpacingHeadingsAndFileName) {
    EXPECT_EQ(SpaceWorksheetLine("12+5=_1_7"), "12 + 5 = _1_7");
    EXPECT_EQ(SpaceWorksheetLine(" 2,5 * 4 : 2-1 "), "2, 5 * 4 : 2 - 1");
    EXPECT_EQ(SpaceWorksheetLine("6_+6=12"), "6 _+ 6 = 12");  // the sign is the gap
    EXPECT_EQ(SpaceWorksheetLine("7_:7=1"), "7 _: 7 = 1");
    EXPECT_EQ(WorksheetFileName("/x/Meier Hans.txt"), "Hans Meier.html");
    EXPECT_EQ(WorksheetFileName("Plus bis 20.txt"), "Plus bis 20.html");
    EXPECT_EQ(WorksheetFileName("Liste.v2.txt"), "Liste.v2.html");

    test::ScratchDir dir;
    dir.Write("vorlagen/Kopfrechnen.txt",
              "Kopfrechnen\r\n\r\nPlus \xfc"
              "ben\r\n");
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path());
    EXPECT_EQ(WorksheetHeadings(env, "Kopfrechnen"),
              QStringList({"Kopfrechnen", QString::fromUtf8("Plus üben")}));
    EXPECT_EQ(WorksheetHeadings(env, "kopfrechnen").size(), 2);  // letter case does not count
    EXPECT_EQ(WorksheetHeadings(env, "Diktat"), QStringList({"Aufgaben"}));
}

// The editor's list reaches the sheet spaced like any other: a gap for a sign stays with its
// sign, empty lines after the last task make no empty tasks.
TEST(WorksheetInput, TheEditorsListIsSpacedForTheSheet) {
    const WorksheetRequest request =
        PrepareWorksheetRequest({"6_+6=12", "", "7_:7=1", "12 + 5=_1_7", " ", ""}, "/kit", "x.txt");
    EXPECT_EQ(request.taskLines, QStringList({"6 _+ 6 = 12", "", "7 _: 7 = 1", "12 + 5 = _1_7"}));
}

TEST(PageMayLoad, OnlyWhatLivesInThePageOrItsFolder) {
    test::ScratchDir dir;
    const QString folder = dir.Path() + "/Blatt";
    dir.Write("Blatt/bild.png", "x");
    dir.Write("Blatt2/fremd.png", "x");
    dir.Write("geheim.txt", "x");
    QFile::link(dir.Path() + "/geheim.txt", folder + "/link.txt");  // a link out of the folder
    const struct {
        QString url;
        bool allowed;
    } table[] = {
        {QUrl::fromLocalFile(folder + "/bild.png").toString(), true},
        {QUrl::fromLocalFile(folder + "/neu/fehlt.css").toString(), true},
        {"data:image/png;base64,AAAA", true},
        {"blob:null/0b1c", true},
        {"about:blank", true},
        {QUrl::fromLocalFile(dir.Path() + "/geheim.txt").toString(), false},
        {QUrl::fromLocalFile(folder + "/link.txt").toString(), false},
        {"file://" + folder + "/../geheim.txt", false},
        {"file://" + folder + "/%2E%2E/geheim.txt", false},
        {QUrl::fromLocalFile(dir.Path() + "/Blatt2/fremd.png").toString(), false},
        {"file://server" + folder + "/bild.png", false},
        {"file:///etc/passwd", false},
        {"http://127.0.0.1/x.png", false},
        {"https://example.org/", false},
        {"ws://127.0.0.1:80/", false},
        {"ftp://example.org/x", false},
        {"filesystem:file:///x", false},
    };
    for (const auto& row : table)
        EXPECT_EQ(PageMayLoad(QUrl(row.url), folder), row.allowed) << row.url.toStdString();
    EXPECT_FALSE(PageMayLoad(QUrl::fromLocalFile(folder + "/bild.png"), QString()));
}

TEST(WorksheetHandover, RoundTripsAndRefusesWhatIsNoRequest) {
    WorksheetHandover h;
    h.request.taskLines = {"12 + 5 = _1_7", "a=b", "broken\r\nline"};
    h.request.headings = {"Plus", QString::fromUtf8("Übung")};
    h.request.pagePath = "/tmp/construct.html";
    h.request.templatePath = "/kit/vorlagen/Aufgaben.html";
    h.request.savePath = "/kit/Aufgaben/x.html";
    h.request.rows = "8";
    h.programFolder = "/kit";
    h.selfCheck = true;
    WorksheetHandover back;
    QString error;
    ASSERT_TRUE(ReadHandover(WriteHandover(h), back, &error)) << error.toStdString();
    EXPECT_EQ(back.request.taskLines, QStringList({"12 + 5 = _1_7", "a=b", "broken  line"}));
    EXPECT_EQ(back.request.headings, h.request.headings);
    EXPECT_EQ(back.request.rows, "8");
    EXPECT_EQ(back.request.columns, "2");
    EXPECT_EQ(back.request.pagePath, h.request.pagePath);
    EXPECT_EQ(back.request.savePath, h.request.savePath);
    EXPECT_EQ(back.programFolder, "/kit");
    EXPECT_TRUE(back.selfCheck);

    const char* refused[] = {
        "",
        "page=/p\ntemplate=/t\n",                                  // no first line
        "radevir-worksheet-request 1\npage=/p\n",                  // no template
        "radevir-worksheet-request 1\npage=/p\ntemplate=/t\nx=1",  // unknown key
        "radevir-worksheet-request 1\npage=/p\ntemplate=/t\nnoequals",
    };
    for (const char* bytes : refused) {
        error.clear();
        EXPECT_FALSE(ReadHandover(bytes, back, &error)) << bytes;
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(WorksheetCommandLine, OptionsAndMistakes) {
    const WorksheetCommandLine ok = ParseWorksheetCommandLine(
        {"--request", "r.txt", "--self-check", "--seed", "5", "--print-to", "out", "--export"});
    EXPECT_TRUE(ok.error.isEmpty());
    EXPECT_EQ(ok.requestFiles, QStringList{"r.txt"});
    EXPECT_TRUE(ok.selfCheck && ok.exportOnly);
    EXPECT_EQ(ok.seed, 5u);
    EXPECT_EQ(ok.printTo, "out");
    const QStringList wrong[] = {{},
                                 {"--request"},
                                 {"--request", "r", "--seed", "x"},
                                 {"--request", "r", "--export"},
                                 {"--request", "r", "--request", "s"},  // one window
                                 {"--request", "r", "--bogus"}};
    for (const QStringList& args : wrong)
        EXPECT_FALSE(ParseWorksheetCommandLine(args).error.isEmpty())
            << args.join(' ').toStdString();
    EXPECT_TRUE(ParseWorksheetCommandLine({"--help"}).help);
    const WorksheetCommandLine week = ParseWorksheetCommandLine(
        {"--request", "a", "--request", "b", "--print-to", "out", "--export"});
    EXPECT_TRUE(week.error.isEmpty()) << week.error.toStdString();
    EXPECT_EQ(week.requestFiles, QStringList({"a", "b"}));
}

}  // namespace
}  // namespace radevir
