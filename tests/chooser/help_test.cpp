// The help entry points (topic table, address, opening through the seam) and the help pages of
// the data kit: every page well-formed, every link and anchor resolving, every page reachable
// from the contents page.
#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <map>
#include <set>

#include "chooser/help.h"
#include "support/codepage.h"
#include "support/program_environment.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

using test::ScratchDir;

TEST(HelpTopics, SchuleInAnyCaseOpensThePupilPageEverythingElseTheStartPage) {
    const std::string pupils = "html\\Schülerverwaltung.html"_b;
    const struct {
        const char* topic;
        std::string page;
    } cases[] = {
        {"Schule", pupils},
        {"SCHULE", pupils},
        {"schule", pupils},
        {"index", "html\\index.htm"},
        {"", "html\\index.htm"},
        {"Schulen", "html\\index.htm"},
        {" Schule", "html\\index.htm"},
    };
    for (const auto& c : cases) EXPECT_EQ(HelpPage(c.topic), c.page) << c.topic;
    EXPECT_EQ(HelpFileName(), "hilfe");
}

TEST(HelpTopics, AddressHasSlashesALeadingSlashAndNoEscapedBlanks) {
    const struct {
        const char* folder;
        const char* page;
        const char* address;
    } cases[] = {
        {"hilfe", "html\\index.htm", "hilfe/html/index.htm"},
        {"hilfe", "/html/index.htm", "hilfe/html/index.htm"},
        {"hilfe\\", "html\\a\\b.htm", "hilfe/html/a/b.htm"},
        {" meine%20hilfe ", " html\\erste%20Schritte.htm ", "meine hilfe/html/erste Schritte.htm"},
        {"hilfe", "", "hilfe/"},
    };
    for (const auto& c : cases) EXPECT_EQ(HelpAddress(c.folder, c.page), c.address) << c.page;
}

TEST(HelpTopics, ShowsTheTopicsPageAsAFileUrlAndNothingWhenItIsMissing) {
    ScratchDir dir;
    const ProgramEnvironment env(dir.Folder());
    std::vector<QUrl> opened;
    const UrlOpener record = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };

    EXPECT_FALSE(ShowHelpTopic(env, "index", record));  // no help folder: nothing shown
    EXPECT_TRUE(opened.empty());

    // Letter case of the folders does not matter; the URL names the file as it is on disk.
    dir.Write("Hilfe/HTML/index.htm", "<html/>");
    dir.Write(QString::fromUtf8("Hilfe/HTML/Schülerverwaltung.html"), "<html/>");
    EXPECT_TRUE(ShowHelpTopic(env, "irgendwas", record));
    EXPECT_TRUE(ShowHelpTopic(env, "schule", record));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_EQ(opened[0].toLocalFile(), QDir(dir.Path()).filePath("Hilfe/HTML/index.htm"));
    EXPECT_EQ(opened[1].toLocalFile(),
              QDir(dir.Path()).filePath(QString::fromUtf8("Hilfe/HTML/Schülerverwaltung.html")));

    // A browser that cannot be started is reported as a failure.
    EXPECT_FALSE(ShowHelpTopic(env, "index", [](const QUrl&) { return false; }));
}

// ---- the help pages of the kit ----

struct Page {
    std::set<QString> ids;
    std::vector<QString> links;  // href and src values as written
    QString title;
    QString error;
};

Page ReadPage(const QString& file) {
    Page page;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        page.error = "cannot be read";
        return page;
    }
    QXmlStreamReader xml(&f);
    bool inTitle = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attrs = xml.attributes();
            if (attrs.hasAttribute("id")) page.ids.insert(attrs.value("id").toString());
            for (const char* name : {"href", "src"}) {
                if (attrs.hasAttribute(name)) page.links.push_back(attrs.value(name).toString());
            }
            inTitle = xml.name() == QLatin1String("title");
        } else if (xml.isCharacters() && inTitle) {
            page.title += xml.text().toString().trimmed();
        } else if (xml.isEndElement()) {
            inTitle = false;
        }
    }
    if (xml.hasError())
        page.error = QString("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return page;
}

class KitHelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = QDir(test::KitDir()).filePath(QString::fromStdString(HelpFileName()));
        QDirIterator it(root, {"*.htm", "*.html"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = QFileInfo(it.next()).canonicalFilePath();
            pages[file] = ReadPage(file);
        }
    }
    QString root;
    std::map<QString, Page> pages;
};

TEST_F(KitHelpTest, BothTopicPagesExistAndEveryPageIsWellFormedWithATitle) {
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(test::KitDir());
    int opened = 0;
    const UrlOpener count = [&](const QUrl&) { return ++opened > 0; };
    EXPECT_TRUE(ShowHelpTopic(env, "index", count));
    EXPECT_TRUE(ShowHelpTopic(env, "Schule", count));
    ASSERT_GE(pages.size(), 10u) << "help pages in " << root.toStdString();
    for (const auto& [file, page] : pages) {
        EXPECT_TRUE(page.error.isEmpty()) << file.toStdString() << ": " << page.error.toStdString();
        EXPECT_FALSE(page.title.isEmpty()) << file.toStdString();
    }
}

TEST_F(KitHelpTest, EveryLinkResolvesAndEveryPageIsReachableFromTheContents) {
    const QString start = QFileInfo(root + "/html/index.htm").canonicalFilePath();
    ASSERT_TRUE(pages.count(start));
    std::set<QString> reached{start};
    std::vector<QString> todo{start};
    while (!todo.empty()) {
        const QString file = todo.back();
        todo.pop_back();
        for (const QString& link : pages[file].links) {
            // Outside links are for the reader's browser; the help itself stays in the kit.
            ASSERT_FALSE(link.contains("://") || link.startsWith('/'))
                << file.toStdString() << " links outside the help: " << link.toStdString();
            const QString target = link.section('#', 0, 0);
            const QString anchor = link.section('#', 1);
            const QString resolved =
                target.isEmpty()
                    ? file
                    : QFileInfo(QFileInfo(file).dir().filePath(target)).canonicalFilePath();
            ASSERT_FALSE(resolved.isEmpty())
                << file.toStdString() << ": missing " << link.toStdString();
            if (!anchor.isEmpty() && pages.count(resolved)) {
                EXPECT_TRUE(pages[resolved].ids.count(anchor))
                    << file.toStdString() << ": no anchor " << link.toStdString();
            }
            if (pages.count(resolved) && reached.insert(resolved).second) todo.push_back(resolved);
        }
    }
    for (const auto& [file, page] : pages)
        EXPECT_TRUE(reached.count(file))
            << file.toStdString() << " is not linked from the contents";
}

}  // namespace
}  // namespace radevir
