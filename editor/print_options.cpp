#include "editor/print_options.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "support/codepage.h"
#include "support/text_file.h"

namespace radevir {

namespace {

constexpr char kHeader[] = "[Ausdruck-Zusatzeinstellungen]";
constexpr qsizetype kMaxLines = 1000;
constexpr qsizetype kMaxLineLength = 4000;

struct Flag {
    const char* key;
    bool PrintOptions::*field;
};
constexpr Flag kFlags[] = {
    {"caption", &PrintOptions::caption},   {"gapsToFill", &PrintOptions::gapsToFill},
    {"textAfter", &PrintOptions::textAfter}, {"paragraphMarks", &PrintOptions::paragraphMarks},
    {"date", &PrintOptions::date},         {"nameField", &PrintOptions::nameField},
};

QByteArray Bytes1252(const QString& text) {
    QString oneLine = text;
    oneLine.replace('\r', ' ').replace('\n', ' ');
    return QByteArray::fromStdString(ToCp1252(oneLine));
}

}  // namespace

QByteArray WritePrintOptions(const PrintOptions& o) {
    QByteArray out = QByteArray(kHeader) + "\r\n";
    for (const Flag& f : kFlags) out += QByteArray(f.key) + '=' + (o.*f.field ? '1' : '0') + "\r\n";
    out += "captionText=" + Bytes1252(o.captionText) + "\r\n";
    for (const QString& line : o.textAfterLines) out += "textAfterLine=" + Bytes1252(line) + "\r\n";
    return out;
}

bool ReadPrintOptions(const QByteArray& bytes, PrintOptions& options) {
    const std::vector<Bytes> lines = SplitTextLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (lines.empty() || lines.front() != kHeader) return false;
    PrintOptions read;
    read.textAfterLines.clear();
    for (size_t i = 1; i < lines.size() && static_cast<qsizetype>(i) <= kMaxLines; ++i) {
        const Bytes& line = lines[i];
        const size_t eq = line.find('=');
        if (eq == Bytes::npos) continue;
        const Bytes key = line.substr(0, eq);
        const Bytes value = line.substr(eq + 1, kMaxLineLength);
        if (key == "captionText") {
            read.captionText = FromCp1252(value);
        } else if (key == "textAfterLine") {
            read.textAfterLines << FromCp1252(value);
        } else {
            for (const Flag& f : kFlags)
                if (key == f.key) read.*f.field = value != "0";
        }
    }
    options = read;
    return true;
}

PrintOptionsDialog::PrintOptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_printopt"));
    setWindowTitle(QStringLiteral("Ausdruck-Zusatzeinstellungen"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QGroupBox(QStringLiteral("Vor dem Text"), this);
    auto* topLayout = new QVBoxLayout(top);
    date_ = new QCheckBox(QStringLiteral("Datum"), top);
    nameField_ = new QCheckBox(QStringLiteral("Feld zum eintragen des Namens"), top);
    caption_ = new QCheckBox(QStringLiteral("Überschrift / Dateiname"), top);
    captionText_ = new QLineEdit(top);
    captionText_->setObjectName(QStringLiteral("Ed_caption"));
    for (QWidget* w : {static_cast<QWidget*>(date_), static_cast<QWidget*>(nameField_),
                       static_cast<QWidget*>(caption_), static_cast<QWidget*>(captionText_)})
        topLayout->addWidget(w);
    layout->addWidget(top);

    auto* gaps = new QGroupBox(QStringLiteral("Lückentexte"), this);
    auto* gapsLayout = new QVBoxLayout(gaps);
    gapsToFill_ = new QRadioButton(QStringLiteral("Lückentexte zum Ausfüllen"), gaps);
    gapsAsInEditor_ = new QRadioButton(QStringLiteral("Lückentexte wie im Editor"), gaps);
    gapsLayout->addWidget(gapsToFill_);
    gapsLayout->addWidget(gapsAsInEditor_);
    paragraphMarks_ = new QCheckBox(QStringLiteral("Absatzzeichen ¶"), gaps);
    gapsLayout->addWidget(paragraphMarks_);
    layout->addWidget(gaps);

    auto* after = new QGroupBox(QStringLiteral("Nach dem Text"), this);
    auto* afterLayout = new QVBoxLayout(after);
    textAfter_ = new QCheckBox(QStringLiteral("Nach dem Text   (Anhang / Aufgabe / Bemerkung)"), after);
    textAfterLines_ = new QPlainTextEdit(after);
    textAfterLines_->setObjectName(QStringLiteral("Memo_after"));
    textAfterLines_->setMinimumHeight(80);
    afterLayout->addWidget(textAfter_);
    afterLayout->addWidget(textAfterLines_);
    layout->addWidget(after, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    SetOptions(PrintOptions{});
}

void PrintOptionsDialog::SetOptions(const PrintOptions& o) {
    caption_->setChecked(o.caption);
    captionText_->setText(o.captionText);
    captionText_->setCursorPosition(0);  // the field starts with the caption text
    gapsToFill_->setChecked(o.gapsToFill);
    gapsAsInEditor_->setChecked(!o.gapsToFill);
    textAfter_->setChecked(o.textAfter);
    textAfterLines_->setPlainText(o.textAfterLines.join('\n'));
    paragraphMarks_->setChecked(o.paragraphMarks);
    date_->setChecked(o.date);
    nameField_->setChecked(o.nameField);
}

PrintOptions PrintOptionsDialog::Options() const {
    PrintOptions o;
    o.caption = caption_->isChecked();
    o.captionText = captionText_->text();
    o.gapsToFill = gapsToFill_->isChecked();
    o.textAfter = textAfter_->isChecked();
    const QString after = textAfterLines_->toPlainText();
    o.textAfterLines = after.isEmpty() ? QStringList() : after.split('\n');
    o.paragraphMarks = paragraphMarks_->isChecked();
    o.date = date_->isChecked();
    o.nameField = nameField_->isChecked();
    return o;
}

}  // namespace radevir
