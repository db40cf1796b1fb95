// Qt's own texts (the buttons of a question, the columns and places of a file dialog, a web
// page's context menu) in German: the program speaks German whatever language the desktop has.
#pragma once

#include <QStringList>

class QCoreApplication;

namespace radevir {

// Installs Qt's German catalogues of the given names ("qtbase", "qtwebengine") from Qt's
// translations folder on `app`, which owns them. Returns the catalogues that could not be loaded
// (not installed: those texts stay English); an empty list when all were.
QStringList InstallGermanQtTexts(QCoreApplication& app,
                                 const QStringList& catalogues = {QStringLiteral("qtbase")});

}  // namespace radevir
