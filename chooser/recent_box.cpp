#include "chooser/recent_box.h"

#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "chooser/item_delegates.h"
#include "chooser/recent_files.h"

namespace radevir {

RecentBox::RecentBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new RecentEntryDelegate(this));
}

void RecentBox::ShowNames(const QStringList& names) {
    const QSignalBlocker block(this);
    clear();
    addItems(names);
    if (count() > 0) setCurrentIndex(0);
}

void RecentBox::PutOnTop(const QString& name) {
    ShowNames(NamesWithOnTop(Names(), name));
}

QStringList RecentBox::Names() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) names.push_back(itemText(i));
    return names;
}

void RecentBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();  // the name is drawn below in its two colours
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0) PaintRecentEntry(painter, field, currentText(), hasFocus());
}

}  // namespace radevir
