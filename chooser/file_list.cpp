#include "chooser/file_list.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "chooser/chooser_style.h"
#include "support/native_files.h"

namespace radevir {
namespace {

enum FileListColumn { kNameColumn = 0, kSizeColumn = 1, kTypeColumn = 2, kDateColumn = 3 };

class FileListItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : kNameColumn;
        const QVariant a = data(column, kSortRole);
        const QVariant b = other.data(column, kSortRole);
        if (a.typeId() == QMetaType::QString) {
            // "2er-Reihe" before "10er-Reihe", as a file manager lists them
            static const QCollator collator = [] {
                QCollator c(QLocale(QLocale::German, QLocale::Germany));
                c.setNumericMode(true);
                c.setCaseSensitivity(Qt::CaseInsensitive);
                return c;
            }();
            return collator.compare(a.toString(), b.toString()) < 0;
        }
        return QVariant::compare(a, b) == QPartialOrdering::Less;
    }
};

void AddFileRow(QTreeWidget& list, const QString& folder, const FolderEntry& file) {
    static const QLocale german(QLocale::German, QLocale::Germany);
    const QString suffix = QFileInfo(file.name).suffix();
    auto* item = new FileListItem(&list);
    item->setText(kNameColumn, file.name);
    item->setText(kSizeColumn, german.toString((file.size + 1023) / 1024) + QStringLiteral(" KB"));
    item->setText(kTypeColumn, suffix.isEmpty() ? QStringLiteral("Datei")
                                                : suffix.toUpper() + QStringLiteral("-Datei"));
    item->setText(kDateColumn, german.toString(file.modified, QStringLiteral("dd.MM.yy HH:mm")));
    item->setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(kNameColumn, kPathRole, QDir::cleanPath(folder + '/' + file.name));
    item->setData(kNameColumn, kSortRole, file.name);
    item->setData(kSizeColumn, kSortRole, file.size);
    item->setData(kTypeColumn, kSortRole, item->text(kTypeColumn).toLower());
    item->setData(kDateColumn, kSortRole, file.modified);
}

}  // namespace

void FillFileList(QTreeWidget& list, const QString& folder) {
    const QSignalBlocker block(&list);
    list.clear();
    list.setSortingEnabled(false);  // sorted once, after the last row
    const QString cleanFolder = QDir::cleanPath(folder);
    for (const FolderEntry& entry : ListNativeFolder(folder))
        if (entry.isFile) AddFileRow(list, cleanFolder, entry);
    list.setSortingEnabled(true);
}

}  // namespace radevir
