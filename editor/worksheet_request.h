// What the task editor hands to the worksheet browser: the spaced task lines, the headings and
// the sheet's shape. The editor fills it; the worksheet side builds and shows the page from it.
#pragma once

#include <QString>
#include <QStringList>

namespace radevir {

struct WorksheetRequest {
    QStringList taskLines;   // the editor's lines, blanks removed and operators spaced ("12 + 5 = _1_7")
    QStringList headings;    // the heading choices, the chosen one first
    QString rows = "10";     // tables per column of the sheet
    QString columns = "2";   // columns of tables
    QString start = "1";     // number of the first task
    QString pagePath;        // the page written and shown (…/vorlagen/construct.html)
    QString templatePath;    // the template read (…/vorlagen/Aufgaben.html)
    QString savePath;        // proposed name for saving (…/Aufgaben/<name>.html)
};

}  // namespace radevir
