// The task tables of a worksheet: every task line becomes a one-row HTML table whose cells hold
// its numbers and operators, and whose gaps ("_" markers) become blank lines in cells of the
// class 'ergebnis'; the hidden answers are collected for the self-check list. Tasks are worked
// in groups (one sheet page each); the column widths and the gap width are shared in a group.
#pragma once

#include <QString>
#include <QStringList>

#include "editor/worksheet/column_widths.h"

namespace radevir {

// Task text for the page: & < > " ' and \ as entities, so it shows as typed and can sit inside
// the page's script strings.
QString EscapeHtml(const QString& text);
// "3^2" → "3<sup>2</sup>": a "^" with the character after it and the digits after that; the
// rest of the text HTML-escaped.
QString ConvertExponents(const QString& text);

// The tokens of a task line: blanks and commas separate (quoted parts stay whole, a doubled
// quote is one quote), except that a decimal comma between digits or gaps stays in its number
// ("2, 5" is the one number 2,5).
QStringList TaskTokens(const QString& line);

// The answers of a token holding "_": every character but "_" that follows a "_", read from the
// end; a "-" between gaps that lie more than two places apart; "000" when no character follows a
// "_". The token keeps its underscores.
struct TokenAnswer {
    QString answer;
    QString rest;  // the token without its answers
};
TokenAnswer TakeAnswers(const QString& token);

// The state of one group of tasks while its tables are measured and then written.
struct TableGroupState {
    int charWidth = 3;                          // percent of a table per character (columns + 1)
    QString blankText = QStringLiteral("___");  // the underscores that stand for a gap
    ColumnWidths widths;
    bool leftAligned = true;
};

enum class TableMode { Measuring, Writing };

struct TaskTable {
    QString html;
    QString answer;  // " 17" for one gap token, "-- " for a task without gaps
};
TaskTable BuildTaskTable(const QString& line, TableMode mode, TableGroupState& state);

// All tables and answers of a list (lines starting with ";" left off), group by group.
struct WorksheetTables {
    QStringList tables;
    QStringList answers;  // in task order, not shuffled
    int tasksPerGroup = 20;
};
WorksheetTables BuildWorksheetTables(const QStringList& taskLines, int rows, int columns);

}  // namespace radevir
