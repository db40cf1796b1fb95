// What a test reads back from the editor's document: its paragraphs as text, and the colour a
// character is drawn in (red marks a line the tools could not compute).
#pragma once

#include <QColor>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace radevir::test {

inline QStringList Blocks(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) out << b.text();
    return out;
}

inline QColor ColourAt(QTextEdit& editor, int block, int column) {
    QTextCursor c(editor.document()->findBlockByNumber(block));
    c.setPosition(c.position() + column + 1);
    return c.charFormat().foreground().color();
}

}  // namespace radevir::test
