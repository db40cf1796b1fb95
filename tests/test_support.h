// Shared test fixtures: a scratch folder per test and file helpers.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace radevir::test {

// A fresh folder that is removed when the object goes out of scope.
class ScratchDir {
public:
    ScratchDir();
    QString Path() const { return dir_.path(); }
    // The folder as the program's data-path string, with a trailing separator.
    std::string Folder() const;
    // Writes bytes to a file below the folder (folders are created).
    QString Write(const QString& relative, const QByteArray& bytes) const;
    QByteArray Read(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

// Folder of the generated data kit of this build.
QString KitDir();
// Folder for files a test leaves for people to look at (screenshots, actual dumps).
QString OutputDir();

}  // namespace radevir::test
