// The help entry points: which page of the help a topic opens and how that page reaches the
// desktop's browser. The help is a folder of HTML pages in the data kit; a page is handed to the
// browser as a file URL and opened, never run.
#pragma once

#include <QUrl>
#include <functional>
#include <string>
#include <string_view>

namespace radevir {

class ProgramEnvironment;

// The help folder in the program folder ("hilfe"); it stands where a single help file would.
std::string HelpFileName();

// The page of a topic, as a data path inside the help folder: "Schule" (letter case ignored)
// gives "html\Schülerverwaltung.html", every other topic "html\index.htm".
std::string HelpPage(std::string_view topic);

// Help folder and page joined into one path: "%20" becomes a blank and outer blanks go in both;
// backslashes in the page become slashes and the page gets a leading slash.
std::string HelpAddress(std::string_view helpFolder, std::string_view page);

// Hands a URL to the desktop; the default opens it in the user's browser.
using UrlOpener = std::function<bool(const QUrl&)>;
bool OpenUrlOnDesktop(const QUrl& url);

// Opens the topic's page. True when the page exists and the opener took its URL; a missing page
// or help folder gives false and nothing is shown (callers ignore the result).
bool ShowHelpTopic(const ProgramEnvironment& env, std::string_view topic,
                   const UrlOpener& open = OpenUrlOnDesktop);

}  // namespace radevir
