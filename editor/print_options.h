// The editor's print options ("Ausdruck-Zusatzeinstellungen"): what is printed around the text,
// their file "Printopt.dfm" in the program folder (a small key=value text of our own), and the
// dialog that edits them.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace radevir {

struct PrintOptions {
    bool caption = true;         // "Überschrift / Dateiname"
    bool gapsToFill = true;      // "Lückentexte zum Ausfüllen" (false: "… wie im Editor")
    bool textAfter = true;       // "Nach dem Text   (Anhang / Aufgabe / Bemerkung)"
    bool paragraphMarks = false; // "Absatzzeichen ¶" (stored; the marks print invisible anyway)
    bool date = true;            // "Datum"
    bool nameField = true;       // "Feld zum eintragen des Namens"
    QString captionText;         // the edited file's path relative to the program folder
    QStringList textAfterLines;
    bool operator==(const PrintOptions&) const = default;
};

inline constexpr char kPrintOptionsFile[] = "Printopt.dfm";

QByteArray WritePrintOptions(const PrintOptions& options);
// Unknown lines are skipped; false (options untouched) when the bytes are no print options file.
bool ReadPrintOptions(const QByteArray& bytes, PrintOptions& options);

class PrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrintOptionsDialog(QWidget* parent);
    void SetOptions(const PrintOptions& options);
    PrintOptions Options() const;

private:
    QCheckBox* caption_ = nullptr;
    QLineEdit* captionText_ = nullptr;
    QRadioButton* gapsToFill_ = nullptr;
    QRadioButton* gapsAsInEditor_ = nullptr;
    QCheckBox* textAfter_ = nullptr;
    QPlainTextEdit* textAfterLines_ = nullptr;
    QCheckBox* paragraphMarks_ = nullptr;
    QCheckBox* date_ = nullptr;
    QCheckBox* nameField_ = nullptr;
};

}  // namespace radevir
