// Builds the sound part of the data kit: effect and tone files in "wavs\" by our own synthesis,
// German recordings made with espeak-ng for the sound table "mathsound.xml" and the word sound
// folders under "sounds\", and the exception list "sounds\ausnahme.txt".
//   radevir_make_sounds KITDIR [ESPEAK]
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "sound/audio_output.h"
#include "sound/wave_component.h"
#include "support/clock.h"
#include "support/codepage.h"
#include "support/program_environment.h"
#include "support/random.h"

using namespace radevir;

namespace {

constexpr int kRate = 22050;
constexpr double kPi = std::numbers::pi;

struct Kit {
    QString dir;
    QString espeak;
    WaveComponent* wav = nullptr;
    int failures = 0;
};

bool WriteSamples(Kit& kit, const QString& relative, const std::vector<double>& x) {
    const QString path = kit.dir + "/" + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<std::uint8_t> bytes(x.size() * 2);
    for (size_t i = 0; i < x.size(); ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(std::clamp(x[i], -1.0, 1.0) * 32000));
        bytes[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
    const std::string file = ToCp1252(path);
    const bool ok = kit.wav->CreateEmptyWave(file, kRate, false) &&
                    kit.wav->WriteWaveData(file, bytes.data(), static_cast<std::int64_t>(bytes.size()), 0);
    if (!ok) ++kit.failures;
    return ok;
}

std::vector<double> Silence(double ms) { return std::vector<double>(static_cast<size_t>(ms * kRate / 1000), 0.0); }

// A tone with harmonics and an attack/decay envelope.
std::vector<double> Tone(double hz, double ms, double level, double decay = 6.0,
                         std::vector<double> harmonics = {1.0}) {
    const auto n = static_cast<size_t>(ms * kRate / 1000);
    std::vector<double> x(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0;
        for (size_t h = 0; h < harmonics.size(); ++h) v += harmonics[h] * std::sin(2 * kPi * hz * (h + 1) * t);
        const double attack = std::min(1.0, t / 0.004);
        const double release = std::min(1.0, (static_cast<double>(n - i) / kRate) / 0.01);
        x[i] = level * v * attack * release * std::exp(-decay * t);
    }
    return x;
}

// A pitch glide from `from` to `to` Hz.
std::vector<double> Glide(double from, double to, double ms, double level) {
    const auto n = static_cast<size_t>(ms * kRate / 1000);
    std::vector<double> x(n);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double k = static_cast<double>(i) / static_cast<double>(n);
        phase += 2 * kPi * (from + (to - from) * k) / kRate;
        const double env = std::min(1.0, i / 80.0) * std::min(1.0, static_cast<double>(n - i) / 200.0);
        x[i] = level * env * (std::sin(phase) + 0.3 * std::sin(2 * phase));
    }
    return x;
}

// Filtered noise: a swoosh (`sweep` moves the filter) or a clap (short burst).
std::vector<double> Noise(Random& rnd, double ms, double level, double cutoffFrom, double cutoffTo,
                          double decay) {
    const auto n = static_cast<size_t>(ms * kRate / 1000);
    std::vector<double> x(n);
    double low = 0;
    for (size_t i = 0; i < n; ++i) {
        const double k = static_cast<double>(i) / static_cast<double>(n);
        const double cutoff = cutoffFrom + (cutoffTo - cutoffFrom) * k;
        const double a = 1 - std::exp(-2 * kPi * cutoff / kRate);
        low += a * ((rnd.NextDouble() * 2 - 1) - low);
        const double t = static_cast<double>(i) / kRate;
        const double env = std::min(1.0, t / 0.01) * std::exp(-decay * t) *
                           std::min(1.0, static_cast<double>(n - i) / 300.0);
        x[i] = level * low * env * 2.5;
    }
    return x;
}

void Mix(std::vector<double>& into, const std::vector<double>& x, double atMs) {
    const auto at = static_cast<size_t>(atMs * kRate / 1000);
    if (into.size() < at + x.size()) into.resize(at + x.size(), 0.0);
    for (size_t i = 0; i < x.size(); ++i) into[at + i] += x[i];
}

std::vector<double> Applause(Random& rnd, int claps, double ms) {
    std::vector<double> x = Silence(ms);
    for (int c = 0; c < claps; ++c) {
        const double at = rnd.NextDouble() * (ms - 120);
        Mix(x, Noise(rnd, 90, 0.25 + 0.2 * rnd.NextDouble(), 2500, 1500, 40), at);
    }
    return x;
}

void MakeEffects(Kit& kit) {
    Random rnd(3);
    WriteSamples(kit, "wavs/tippton.wav", Tone(1800, 35, 0.35, 60, {1, 0.3}));
    {
        std::vector<double> x = Tone(180, 320, 0.35, 3, {1, 0.6, 0.45, 0.3, 0.2});
        WriteSamples(kit, "wavs/fehlerton.wav", x);
    }
    WriteSamples(kit, "wavs/peep440.wav", Tone(440, 160, 0.4, 2));
    WriteSamples(kit, "wavs/peep660.wav", Tone(660, 160, 0.4, 2));
    {
        std::vector<double> x;
        Mix(x, Tone(660, 130, 0.35, 4, {1, 0.2}), 0);
        Mix(x, Tone(440, 200, 0.35, 4, {1, 0.2}), 140);
        WriteSamples(kit, "wavs/korrektur.wav", x);
    }
    {
        std::vector<double> x;
        Mix(x, Tone(523.25, 140, 0.3, 5, {1, 0.3, 0.1}), 0);
        Mix(x, Tone(659.25, 140, 0.3, 5, {1, 0.3, 0.1}), 110);
        Mix(x, Tone(783.99, 320, 0.3, 4, {1, 0.3, 0.1}), 220);
        WriteSamples(kit, "wavs/richtig.wav", x);
    }
    WriteSamples(kit, "wavs/loeschkopfrech.wav", Noise(rnd, 450, 0.5, 400, 5000, 3));
    WriteSamples(kit, "wavs/loesch45.wav", Noise(rnd, 300, 0.5, 3000, 600, 4));
    WriteSamples(kit, "wavs/loesch-merk-tachi.wav", Noise(rnd, 380, 0.5, 900, 6000, 2));
    WriteSamples(kit, "wavs/jokerweg.wav", Glide(1200, 300, 450, 0.3));
    {
        std::vector<double> x;
        Mix(x, Tone(2093, 250, 0.25, 8, {1, 0.5, 0.25}), 0);
        Mix(x, Tone(2637, 400, 0.25, 6, {1, 0.5, 0.25}), 70);
        WriteSamples(kit, "wavs/Geld.wav", x);
    }
    WriteSamples(kit, "wavs/klatsch0.wav", Applause(rnd, 6, 700));
    WriteSamples(kit, "wavs/klatsch1.wav", Applause(rnd, 16, 1200));
    WriteSamples(kit, "wavs/klatsch2.wav", Applause(rnd, 40, 2000));
    // tones for the task editor's tone list
    WriteSamples(kit, "wavs/_ding.wav", Tone(1318.5, 600, 0.3, 5, {1, 0.4, 0.2}));
    WriteSamples(kit, "wavs/_gong.wav", Tone(196, 1500, 0.4, 2, {1, 0.6, 0.35, 0.2}));
    WriteSamples(kit, "wavs/_hoch.wav", Tone(880, 300, 0.35, 3));
    WriteSamples(kit, "wavs/_tief.wav", Tone(220, 300, 0.35, 3, {1, 0.4}));
}

// Speaks `text` with espeak-ng into `relative` (22050 Hz 16-bit mono), trims the silence
// around it and leaves a short tail so that joined pieces do not run into each other.
bool Speak(Kit& kit, const QString& relative, const QString& text) {
    if (kit.espeak.isEmpty()) return false;
    const QString path = kit.dir + "/" + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QProcess p;
    p.start(kit.espeak, {"-v", "de", "-s", "150", "-w", path, "--", text});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        QTextStream(stderr) << "espeak-ng failed for " << relative << "\n";
        ++kit.failures;
        return false;
    }
    auto data = kit.wav->ReadWaveData(ToCp1252(path));
    if (!data || !data->hasData || data->bitsPerSample != 16 || data->samplesPerSecond != kRate) {
        ++kit.failures;
        return false;
    }
    const std::int64_t n = data->length / 2;
    auto sample = [&](std::int64_t i) {
        return static_cast<std::int16_t>(data->data[2 * i] | (data->data[2 * i + 1] << 8));
    };
    std::int64_t first = 0;
    while (first < n && std::abs(sample(first)) < 300) ++first;
    std::int64_t last = n;
    while (last > first && std::abs(sample(last - 1)) < 300) --last;
    first = std::max<std::int64_t>(0, first - kRate / 200);
    last = std::min<std::int64_t>(n, last + kRate / 50);
    std::vector<double> x;
    for (std::int64_t i = first; i < last; ++i) x.push_back(sample(i) / 32000.0);
    const auto tail = Silence(40);
    x.insert(x.end(), tail.begin(), tail.end());
    return WriteSamples(kit, relative, x);
}

QString Xml(QString s) {
    return s.replace('&', "&amp;").replace('"', "&quot;").replace('<', "&lt;").replace('>', "&gt;");
}

void MakeSoundTable(Kit& kit) {
    struct Entry {
        QString name;
        QString file;
        QString text;
    };
    std::vector<Entry> entries;
    const QStringList digits = {"", "ein", "zwei", "drei", "vier", "fünf", "sechs", "sieben", "acht", "neun"};
    for (int i = 0; i < 100; ++i) entries.push_back({QString::number(i), QString::number(i), QString::number(i)});
    for (int h = 1; h <= 9; ++h) {
        entries.push_back({QString::number(h * 100), QString::number(h * 100), digits[h] + "hundert"});
    }
    const struct { int n; QString one, many; } powers[] = {
        {3, "eintausend", "tausend"}, {6, "eine Million", "Millionen"}, {9, "eine Milliarde", "Milliarden"}};
    for (const auto& p : powers) {
        const QString n = QString::number(p.n);
        entries.push_back({"hoch" + n, "hoch" + n, p.many});
        entries.push_back({"1hoch" + n, "1hoch" + n, p.one});
        for (int d = 2; d <= 9; ++d) {
            const QString word = p.n == 3 ? digits[d] + "tausend" : digits[d] + " " + p.many;
            entries.push_back({QString::number(d) + "hoch" + n, QString::number(d) + "hoch" + n, word});
        }
    }
    const std::vector<Entry> signs = {
        {"+", "plus", "plus"}, {"-", "minus", "minus"}, {"*", "mal", "mal"}, {"x", "mal_x", "mal"},
        {"/", "durch", "geteilt durch"}, {":", "geteilt", "geteilt durch"}, {"=", "gleich", "gleich"},
        {",", "komma", "Komma"}, {"^", "hoch", "hoch"}, {"(", "klammer_auf", "Klammer auf"},
        {")", "klammer_zu", "Klammer zu"}, {"<", "kleiner", "ist kleiner als"},
        {">", "groesser", "ist größer als"}, {"?", "fragezeichen", "wie viel"},
        {"Rest", "rest", "Rest"}, {"R", "rest_r", "Rest"}, {"€", "euro", "Euro"}, {"ct", "cent", "Cent"},
        {"m", "meter", "Meter"}, {"cm", "zentimeter", "Zentimeter"}, {"km", "kilometer", "Kilometer"},
        {"g", "gramm", "Gramm"}, {"kg", "kilogramm", "Kilogramm"}, {"l", "liter", "Liter"},
        {"Rechne", "rechne", "Rechne"}, {"Aufgabe", "aufgabe", "Aufgabe"}, {"und", "und", "und"},
        {"von", "von", "von"}, {"ist", "ist", "ist"}, {"das", "das", "das"}, {"Doppelte", "doppelte", "Doppelte"},
        {"Hälfte", "haelfte", "Hälfte"}, {"die", "die", "die"}, {"mal_", "mal_wort", "mal"},
    };
    entries.insert(entries.end(), signs.begin(), signs.end());

    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                  "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                  "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"40\"/>"
                  "<FIELD attrname=\"Pfad\" fieldtype=\"string\" WIDTH=\"200\"/>"
                  "<FIELD attrname=\"Wavedatei\" fieldtype=\"string\" WIDTH=\"200\"/>"
                  "<FIELD attrname=\"von\" fieldtype=\"string\" WIDTH=\"10\"/>"
                  "<FIELD attrname=\"bis\" fieldtype=\"string\" WIDTH=\"10\"/>"
                  "<FIELD attrname=\"Volumen\" fieldtype=\"string\" WIDTH=\"10\"/>"
                  "<FIELD attrname=\"Anfang\" fieldtype=\"string\" WIDTH=\"10\"/>"
                  "<FIELD attrname=\"Stilledanach\" fieldtype=\"string\" WIDTH=\"10\"/>"
                  "</FIELDS><PARAMS/></METADATA><ROWDATA>\n";
    for (const Entry& e : entries) {
        const QString file = e.file + ".wav";
        Speak(kit, "mathsound/" + file, e.text);
        xml += QString("<ROW Name=\"%1\" Pfad=\"mathsound\\\" Wavedatei=\"%2\" von=\"\" bis=\"\" "
                       "Volumen=\"\" Anfang=\"\" Stilledanach=\"\"/>\n")
                   .arg(Xml(e.name), Xml(file));
    }
    xml += "</ROWDATA></DATAPACKET>\n";
    QFile f(kit.dir + "/mathsound.xml");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(xml.toUtf8()) < 0) ++kit.failures;
}

// German names of signs for the "Zeichen" folder; other characters are read as they are.
QString SignName(char32_t c) {
    switch (c) {
        case '!': return "Ausrufezeichen";
        case '"': return "Anführungszeichen";
        case '#': return "Raute";
        case '$': return "Dollar";
        case '%': return "Prozent";
        case '&': return "und";
        case '\'': return "Apostroph";
        case '(': return "Klammer auf";
        case ')': return "Klammer zu";
        case '*': return "mal";
        case '+': return "plus";
        case ',': return "Komma";
        case '-': return "minus";
        case '.': return "Punkt";
        case '/': return "geteilt durch";
        case ':': return "Doppelpunkt";
        case ';': return "Semikolon";
        case '<': return "kleiner als";
        case '=': return "gleich";
        case '>': return "größer als";
        case '?': return "Fragezeichen";
        case '@': return "At-Zeichen";
        case '[': return "eckige Klammer auf";
        case '\\': return "Backslash";
        case ']': return "eckige Klammer zu";
        case '^': return "hoch";
        case '_': return "Unterstrich";
        case '`': return "Gravis";
        case '{': return "geschweifte Klammer auf";
        case '|': return "senkrechter Strich";
        case '}': return "geschweifte Klammer zu";
        case '~': return "Tilde";
        case 0x20AC: return "Euro";
        case 0xA7: return "Paragraf";
        case 0xB0: return "Grad";
        case 0xB7: return "Mal-Punkt";
        case 0xB6: return "Absatzzeichen";
        default: break;
    }
    return {};
}

void MakeWordSounds(Kit& kit) {
    const QStringList words = {"Haus", "Tür", "Baum", "Auto", "Maus", "Hund", "Katze", "Ball", "Mama",
                               "Papa", "Oma", "Opa", "Sonne", "Mond", "Schule", "Kind", "Buch", "Tisch",
                               "rot", "blau", "grün", "gelb", "und", "ist", "der", "die", "das", "ein",
                               "eine", "zum", "Beispiel", "so", "weiter", "Hallo", "Apfel", "Birne"};
    for (const QString& w : words) Speak(kit, "sounds/1/" + w.toLower() + ".wav", w);
    // two-word recordings live in a sub-folder named after the first word
    for (const QString& pair : {QString("guten Morgen"), QString("guten Tag"), QString("gute Nacht")}) {
        const QString first = pair.section(' ', 0, 0).toLower();
        Speak(kit, "sounds/2/" + first + "/" + pair.toLower() + ".wav", pair);
    }
    for (const QString& w : {QString("Schmetterling"), QString("Regenbogen"), QString("Geburtstag"),
                             QString("Zauberer"), QString("Erdbeere")}) {
        Speak(kit, "sounds/3/" + w.toLower() + ".wav", w);
    }
    const QStringList consonants = {"b", "d", "f", "g", "h", "k", "l", "m", "n", "p", "r", "s", "t", "w", "z"};
    const QStringList vowels = {"a", "e", "i", "o", "u"};
    for (const QString& c : consonants) {
        for (const QString& v : vowels) Speak(kit, "sounds/Silben/" + c + v + ".wav", c + v);
    }
    Speak(kit, QString::fromUtf8("sounds/Zeichen/groß.wav"), "groß");
    for (int code = 0x21; code <= 0xFF; ++code) {
        const char32_t u = Cp1252ToUnicode(static_cast<unsigned char>(code));
        if (u == 0xFFFD || u == 0xA0 || u == 0xAD || !QChar::isPrint(u)) continue;
        QString text = SignName(u);
        if (text.isEmpty()) text = QString::fromUcs4(&u, 1);
        Speak(kit, "sounds/Zeichen/#" + QString::number(code) + ".wav", text);
    }
    QFile f(kit.dir + "/sounds/ausnahme.txt");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(ToCp1252(QString("z.B.=zum Beispiel\r\nusw.=und so weiter\r\nMutti=Mama\r\nVati=Papa\r\n")).c_str()) < 0) {
        ++kit.failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: radevir_make_sounds KITDIR [ESPEAK]\n";
        return 2;
    }
    Kit kit;
    kit.dir = QDir(args[1]).absolutePath();
    kit.espeak = args.size() > 2 ? args[2] : QString();
    QDir().mkpath(kit.dir + "/wavs");
    VirtualClock clock;
    auto output = MakeNullAudioOutput(clock);
    ProgramEnvironment env(ToCp1252(kit.dir + "/"));
    WaveComponent wav(env, *output, clock);
    kit.wav = &wav;
    MakeEffects(kit);
    if (kit.espeak.isEmpty()) {
        QTextStream(stderr) << "radevir_make_sounds: espeak-ng missing, no German recordings made\n";
        return 1;
    }
    MakeSoundTable(kit);
    MakeWordSounds(kit);
    if (kit.failures) {
        QTextStream(stderr) << "radevir_make_sounds: " << kit.failures << " files failed\n";
        return 1;
    }
    return 0;
}
