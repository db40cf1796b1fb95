#include "support/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace radevir {

QStringList InstallGermanQtTexts(QCoreApplication& app, const QStringList& catalogues) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale german(QLocale::German, QLocale::Germany);
    QStringList missing;
    for (const QString& name : catalogues) {
        auto* translator = new QTranslator(&app);
        if (translator->load(german, name, QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator))
            continue;
        delete translator;
        missing << name;
    }
    return missing;
}

}  // namespace radevir
