// The box of recently used files at the top of the chooser: each name drawn with its folder
// part on silver and its file name in blue, the name last shown always on top.
#pragma once

#include <QComboBox>
#include <QStringList>

namespace radevir {

class RecentBox : public QComboBox {
public:
    explicit RecentBox(QWidget* parent = nullptr);

    // Shows these names, the first one chosen. Sends no signals.
    void ShowNames(const QStringList& names);
    // Puts a name on top (taking out an earlier copy) and chooses it. Sends no signals.
    void PutOnTop(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList Names() const;
};

}  // namespace radevir
