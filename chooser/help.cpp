#include "chooser/help.h"

#include <QDesktopServices>
#include <QFileInfo>

#include "support/codepage.h"
#include "support/error_log.h"
#include "support/program_environment.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

// Pasted names sometimes carry the URL form of a blank.
Bytes Unescaped(std::string_view text) {
    return TrimWhitespace(ReplaceAll(text, "%20", " "));
}

}  // namespace

std::string HelpFileName() {
    return "hilfe";
}

std::string HelpPage(std::string_view topic) {
    if (UpperText(topic) == "SCHULE") return "html\\Schülerverwaltung.html"_b;
    return "html\\index.htm";
}

std::string HelpAddress(std::string_view helpFolder, std::string_view page) {
    std::string folder = Unescaped(helpFolder);
    std::string path = ReplaceAll(Unescaped(page), "\\", "/");
    if (path.empty() || path.front() != '/') path.insert(path.begin(), '/');
    while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder + path;
}

bool OpenUrlOnDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool ShowHelpTopic(const ProgramEnvironment& env, std::string_view topic, const UrlOpener& open) {
    try {
        const QFileInfo page(env.NativePath(HelpAddress(HelpFileName(), HelpPage(topic))));
        // A page is a data file: the browser shows it, whatever its mode bits say.
        if (!page.isFile() || !open) return false;
        return open(QUrl::fromLocalFile(page.absoluteFilePath()));
    } catch (...) {
        LogDroppedException("opening the help");
        return false;
    }
}

}  // namespace radevir
