#include "editor/worksheet/table_builder.h"

#include <algorithm>
#include <vector>

namespace radevir {

namespace {

bool IsBlank(QChar c) {
    return c.unicode() <= ' ';
}
bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool InDecimal(QChar c) {
    return IsAsciiDigit(c) || c == u'_';
}

QString NumberCell(int width, const QString& content) {
    return QStringLiteral("<td align=right width=%1%>%2</td>").arg(width).arg(content);
}

QString GapCell(int width, const QString& blankText) {
    // no blank between the class and "align=": the page's style sheet is written for this text
    return QStringLiteral("<td class='ergebnis'align=right width=%1%><sub>%2</sub></td>")
        .arg(width)
        .arg(blankText);
}

// One to five underscores: the token is a gap; the count widens the gap text of the group.
int GapUnderscores(const QString& token) {
    if (token.isEmpty() || token.size() > 5) return 0;
    for (QChar c : token)
        if (c != u'_') return 0;
    return static_cast<int>(token.size());
}

void WidenBlankText(QString& blankText, int underscores) {
    int wanted = 0;
    if (underscores == 2) wanted = 4;
    if (underscores == 3) wanted = 5;
    if (underscores >= 4) wanted = 6;
    if (blankText.size() < wanted) blankText = QString(wanted, u'_');
}

}  // namespace

QString EscapeHtml(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '"':
                out += QLatin1String("&quot;");
                break;
            case '\'':
                out += QLatin1String("&#39;");
                break;
            case '\\':
                out += QLatin1String("&#92;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString ConvertExponents(const QString& text) {
    QString out;
    qsizetype done = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'^') continue;
        qsizetype end = i + 2;  // the character after "^" and the digits after it
        while (end < text.size() && IsAsciiDigit(text[end])) ++end;
        out += EscapeHtml(text.mid(done, i - done));
        out += QLatin1String("<sup>") + EscapeHtml(text.mid(i + 1, end - i - 1)) +
               QLatin1String("</sup>");
        done = end;
        i = end - 1;
    }
    out += EscapeHtml(text.mid(done));
    return out;
}

QStringList TaskTokens(const QString& lineText) {
    QString line = lineText;
    line.replace(QChar(0xA0), u' ');
    QStringList tokens;
    qsizetype p = 0;
    const qsizetype n = line.size();
    auto skipBlanks = [&] {
        while (p < n && IsBlank(line[p])) ++p;
    };
    skipBlanks();
    while (p < n) {
        QString token;
        if (line[p] == u'"') {
            ++p;
            while (p < n) {
                if (line[p] == u'"') {
                    if (p + 1 < n && line[p + 1] == u'"') {  // a doubled quote is one quote
                        token += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                token += line[p++];
            }
        } else {
            while (p < n && !IsBlank(line[p])) {
                if (line[p] == u',') {
                    // a decimal comma ("2, 5" once the editor has spaced "2,5") stays in its number
                    qsizetype next = p + 1;
                    while (next < n && IsBlank(line[next])) ++next;
                    if (token.isEmpty() || !InDecimal(token.back()) || next >= n ||
                        !InDecimal(line[next]))
                        break;
                    token += u',';
                    p = next;
                    continue;
                }
                token += line[p++];
            }
        }
        tokens << token;
        skipBlanks();
        if (p < n && line[p] == u',') {
            if (p + 1 == n) tokens << QString();  // a trailing comma ends with an empty item
            ++p;
            skipBlanks();
        }
    }
    return tokens;
}

TokenAnswer TakeAnswers(const QString& token) {
    TokenAnswer out{QString(), token};
    qsizetype lastMarker = -1;
    // an underscore after an underscore is more blank to write on, not an answer
    for (qsizetype i = token.size() - 1; i >= 1; --i) {
        if (token[i - 1] != u'_' || token[i] == u'_') continue;
        if (lastMarker >= 0 && lastMarker - (i - 1) > 2) out.answer.prepend(u'-');
        out.answer.prepend(token[i]);
        out.rest.remove(i, 1);
        lastMarker = i - 1;
    }
    if (out.answer.isEmpty()) out.answer = QStringLiteral("000");
    return out;
}

TaskTable BuildTaskTable(const QString& line, TableMode mode, TableGroupState& state) {
    QStringList tokens = TaskTokens(line);
    const int n = static_cast<int>(tokens.size());
    const int cw = state.charWidth;
    std::vector<bool> gap(static_cast<size_t>(n), false);
    TaskTable out;
    bool anyAnswers = false;
    for (int i = 0; i < n; ++i) {
        QString& token = tokens[i];
        if (!token.contains(u'_')) continue;
        const TokenAnswer taken = TakeAnswers(token);
        out.answer += u' ' + taken.answer;
        anyAnswers = true;
        token = taken.rest;
        if (const int underscores = GapUnderscores(token)) {
            token = QStringLiteral("_");
            gap[static_cast<size_t>(i)] = true;
            WidenBlankText(state.blankText, underscores);
        }
    }
    if (!anyAnswers) out.answer = QStringLiteral("-- ");

    QString cells;
    int sum = 0;
    int equalsIndex = -1;
    for (int i = 0; i < n; ++i) {
        const bool isGap = gap[static_cast<size_t>(i)];
        const int column = state.leftAligned ? i + 1 : n - i;
        int w = 0;
        if (mode == TableMode::Measuring) {
            const auto length = isGap ? state.blankText.size() : tokens[i].size();
            w = static_cast<int>(std::min<qsizetype>(length, 100000)) * cw + (i > 0 ? cw / 2 : 0);
            state.widths.Raise(column, w);
        } else {
            w = state.widths.Get(column);
            // right-aligned: the first token takes up the columns longer tasks have in front
            if (!state.leftAligned && i == 0)
                for (int k = n + 1; k < state.widths.Count(); ++k) w += state.widths.Get(k);
            if (isGap) w += cw / 2;
        }
        if (!isGap && tokens[i] == QLatin1String("=")) equalsIndex = i;
        cells += isGap ? GapCell(w, state.blankText) : NumberCell(w, ConvertExponents(tokens[i]));
        sum += w;
    }

    int r = 100 - sum;
    if (r < 0) r = 1;
    if (r > 0) {
        if (mode == TableMode::Measuring) state.widths.Raise(0, cw);
        cells.prepend(QStringLiteral("<td width=%1%>&nbsp;</td>").arg(cw));
        r -= cw;
        if (state.leftAligned) {
            cells += QStringLiteral("<td width=%1% align=right>&nbsp;</td>").arg(r);
        } else {
            cells += QStringLiteral("<td width=%1%></td>").arg(r / 3 + cw);
            cells.prepend(QStringLiteral("<td width=%1%></td>").arg(r / 3));
        }
        // only tasks that start "x = …" keep their group aligned at the left
        state.leftAligned = state.leftAligned && equalsIndex == 1 && n > 2;
    }
    out.html =
        QLatin1String("<table border=0 width=100% height=95%>") + cells + QLatin1String("</table>");
    return out;
}

WorksheetTables BuildWorksheetTables(const QStringList& taskLines, int rows, int columns) {
    WorksheetTables out;
    QStringList lines;
    for (const QString& line : taskLines)
        if (!line.startsWith(u';')) lines << line;
    out.tasksPerGroup = std::max(1, columns * rows);
    for (qsizetype start = 0; start < lines.size(); start += out.tasksPerGroup) {
        const QStringList group = lines.mid(start, out.tasksPerGroup);
        TableGroupState state;
        state.charWidth = columns + 1;
        for (const QString& line : group) BuildTaskTable(line, TableMode::Measuring, state);
        for (const QString& line : group) {
            TaskTable table = BuildTaskTable(line, TableMode::Writing, state);
            out.tables << table.html;
            out.answers << table.answer;
        }
    }
    return out;
}

}  // namespace radevir
