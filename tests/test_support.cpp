#include "tests/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace radevir::test {

ScratchDir::ScratchDir() = default;

std::string ScratchDir::Folder() const { return (dir_.path() + "/").toStdString(); }

QString ScratchDir::Write(const QString& relative, const QByteArray& bytes) const {
    const QString path = dir_.path() + "/" + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}

QByteArray ScratchDir::Read(const QString& relative) const {
    QFile f(dir_.path() + "/" + relative);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QString KitDir() { return QStringLiteral(RADEVIR_KIT_DIR); }

QString OutputDir() {
    const QString dir = QStringLiteral(RADEVIR_TEST_BINARY_DIR) + "/output";
    QDir().mkpath(dir);
    return dir;
}

}  // namespace radevir::test
