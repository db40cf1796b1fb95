// The worksheet page: the task tables, the headings and the (shuffled) answers put into the
// page template, written to the page file. The template's placeholders: xab (number of the first
// task), xxr (rows), xxs (columns), the quoted "xxt" (headings), "xxe" (answers, with the
// self-check list only) and "xxa" (task tables), and the rule "table {margin-bottom:10pt" whose
// value becomes the table spacing.
#pragma once

#include <QString>
#include <QStringList>

#include "editor/worksheet_request.h"

namespace radevir {

class Random;

// Items separated by ",", each in double quotes when it holds blanks, commas or quotes (inner
// quotes doubled).
QString CommaListText(const QStringList& items);

// Within each group, the answer at every position is swapped with one at a random position of
// the same group.
void ShuffleAnswers(QStringList& answers, int tasksPerGroup, Random& random);

// Table spacing in points: "+" and "-" step by 5 ("-" only above 4); a typed value counts when it
// is a whole number, otherwise the old value stays.
constexpr int kDefaultTableSpacing_pt = 10;
int SpacingPlus(int spacing_pt);
int SpacingMinus(int spacing_pt);
int SpacingTyped(int spacing_pt, const QString& typed);

// The sheet's shape as numbers (the request carries text; nonsense falls back to 10 x 2 from 1).
struct SheetShape {
    int rows = 10;
    int columns = 2;
    int start = 1;
};
SheetShape ParseSheetShape(const WorksheetRequest& request);

struct WorksheetValues {
    SheetShape shape;
    QStringList headings;
    QStringList tables;
    QStringList answers;  // shuffled already; left out without the self-check
    bool selfCheck = false;
    int tableSpacing_pt = kDefaultTableSpacing_pt;
};
// One pass over the template: what is put in is never searched again for placeholders. The
// headings and answers are HTML-escaped on the way in (the tables are escaped already).
QString FillWorksheetTemplate(const QString& templateText, const WorksheetValues& values);

struct WorksheetOptions {
    bool selfCheck = false;
    int tableSpacing_pt = kDefaultTableSpacing_pt;
};
// Reads the template, builds and writes the page to request.pagePath (through a temporary file,
// in the template's own encoding). False with a message when the template cannot be read or the
// page not written; the page file then stays as it was.
bool BuildWorksheetPage(const WorksheetRequest& request, const WorksheetOptions& options,
                        Random& random, QString* error);

}  // namespace radevir

namespace radevir {

// Saving a sheet: the page file copied to `target`, an existing file replaced only once the copy
// is complete. False with a message otherwise.
bool CopyPageFile(const QString& pageFile, const QString& target, QString* error);

}  // namespace radevir
