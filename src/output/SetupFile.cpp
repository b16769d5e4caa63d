#include "output/SetupFile.h"

#include "output/SafeWrite.h"

#include "setup/FormFields.h"
#include "setup/NumberText.h"
#include "setup/ParametricToggle.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kMagic = QStringLiteral("VANTRO");

// One stored number of lines 4 to 10: its name for messages, the text field it fills (empty
// for EyeFactor element 1, which has none) and where it lives in the record.
struct NumberSlot
{
    QString name;
    QString control;
    float* real = nullptr;
    qint32* integer = nullptr;
};

NumberSlot real(const char* name, float& value)
{
    return {QString::fromLatin1(name), QStringLiteral("txt") + QLatin1String(name), &value,
            nullptr};
}

NumberSlot integer(const char* name, qint32& value)
{
    return {QString::fromLatin1(name), QStringLiteral("txt") + QLatin1String(name), nullptr,
            &value};
}

// Lines 4 to 10 of the format, in file order (which is also the order the fields are set in).
QList<QList<NumberSlot>> numberLines(PlotSetup& s)
{
    NumberSlot eye1{QStringLiteral("EyeFactor(1)"), QString(), &s.EyeFactor[1], nullptr};
    return {
        {real("Stereo", s.EyeFactor[0]), eye1, real("Reduce", s.Reduce), integer("Ndots", s.Ndots),
         integer("Grid", s.Grid)},
        {real("Xorigin", s.Xorigin), real("Yorigin", s.Yorigin), real("Zorigin", s.Zorigin)},
        {real("Windowlx", s.Windowlx), real("Windowgx", s.Windowgx), real("Windowly", s.Windowly),
         real("Windowgy", s.Windowgy), real("Windowlz", s.Windowlz), real("Windowgz", s.Windowgz)},
        {real("Rangelxu", s.Rangelxu), real("Rangegxu", s.Rangegxu), real("Rangelyv", s.Rangelyv),
         real("Rangegyv", s.Rangegyv)},
        {integer("Spacexu", s.Spacexu), integer("Spaceyv", s.Spaceyv), integer("Segsxu", s.Segsxu),
         integer("Segsyv", s.Segsyv)},
        {real("Divx", s.Divx), real("Divy", s.Divy), real("Divz", s.Divz), real("Xrot", s.Xrot),
         real("Yrot", s.Yrot), real("Zrot", s.Zrot), real("Xtr", s.Xtr), real("Ytr", s.Ytr),
         real("Ztr", s.Ztr)},
        {integer("Xder", s.Xder), integer("Yder", s.Yder)},
    };
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isControl(QChar c)
{
    return (c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7f;
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0x2028) ||
           c == QChar(0x2029);
}

struct Item
{
    int line = 0;  // 1-based
    int index = 0; // 1-based position on its line
    QString text;
};

// Reads the lines item by item: a comma or a line end ends an item, blanks before an item are
// skipped, the quotes of a quoted text are removed.
class ItemReader
{
public:
    enum Result
    {
        Got,
        End,
        Bad
    };

    explicit ItemReader(const QStringList& lines) : lines_(lines) {}

    Result next(Item& item, QString& error)
    {
        if (line_ >= lines_.size()) return End;
        const QString& text = lines_.at(line_);
        const qsizetype n = text.size();
        while (pos_ < n && isBlank(text.at(pos_)))
            ++pos_;
        item.line = int(line_ + 1);
        item.index = index_;
        if (pos_ < n && text.at(pos_) == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), pos_ + 1);
            if (close < 0) {
                error = QStringLiteral("line %1, item %2: the quoted text has no closing quote")
                            .arg(item.line)
                            .arg(item.index);
                return Bad;
            }
            item.text = text.mid(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            while (pos_ < n && isBlank(text.at(pos_)))
                ++pos_;
            if (pos_ < n && text.at(pos_) != QLatin1Char(',')) {
                error = QStringLiteral("line %1, item %2: unexpected text after the closing quote")
                            .arg(item.line)
                            .arg(item.index);
                return Bad;
            }
        } else {
            qsizetype end = text.indexOf(QLatin1Char(','), pos_);
            if (end < 0) end = n;
            item.text = text.mid(pos_, end - pos_);
            pos_ = end;
        }
        if (pos_ < n) { // at a comma: the next item is on this line, possibly empty
            ++pos_;
            ++index_;
        } else {
            ++line_;
            pos_ = 0;
            index_ = 1;
        }
        return Got;
    }

private:
    const QStringList& lines_;
    qsizetype line_ = 0;
    qsizetype pos_ = 0;
    int index_ = 1;
};

// An item's text as a message shows it: a long one by its ends and its length.
QString shown(const QString& text)
{
    constexpr qsizetype kEnd = 20;
    if (text.size() <= 3 * kEnd) return text;
    return QStringLiteral("%1...%2 (%3 characters)")
        .arg(text.left(kEnd), text.right(kEnd))
        .arg(text.size());
}

QString where(const Item& item, const QString& name)
{
    return QStringLiteral("line %1, item %2 (%3)").arg(item.line).arg(item.index).arg(name);
}

// A complete decimal number: sign, digits with an optional point (a leading zero is optional),
// an optional exponent with E or D; blanks around it allowed.
bool toNumber(const QString& text, double& value)
{
    static const QRegularExpression re(
        QStringLiteral("^[ \\t]*([+-]?(?:\\d+\\.?\\d*|\\.\\d+))(?:[eEdD]([+-]?\\d+))?[ \\t]*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) return false;
    QString plain = m.captured(1);
    if (m.hasCaptured(2)) plain += QLatin1Char('e') + m.captured(2);
    bool ok = false;
    value = plain.toDouble(&ok);
    return ok && std::isfinite(value);
}

// Reads the fields in file order; `data` is written only by the caller after success.
class FieldReader
{
public:
    FieldReader(const QStringList& lines, QString& error) : reader_(lines), error_(error) {}

    bool text(const QString& name, QString& out)
    {
        Item item;
        if (!take(name, item)) return false;
        out = item.text;
        return true;
    }

    bool real(const QString& name, float& out)
    {
        Item item;
        if (!take(name, item)) return false;
        double value = 0;
        if (!toNumber(item.text, value))
            return fail(item, name, QStringLiteral("\"%1\" is not a number").arg(shown(item.text)));
        if (std::fabs(value) > double(FLT_MAX))
            return fail(item, name,
                        QStringLiteral("%1 is beyond the single-precision range")
                            .arg(shown(item.text.trimmed())));
        out = float(value);
        return true;
    }

    bool integer(const QString& name, qint32& out, double low = -2147483648.0,
                 double high = 2147483647.0)
    {
        Item item;
        if (!take(name, item)) return false;
        double value = 0;
        if (!toNumber(item.text, value))
            return fail(item, name, QStringLiteral("\"%1\" is not a number").arg(shown(item.text)));
        if (value != std::floor(value))
            return fail(item, name,
                        QStringLiteral("%1 is not a whole number").arg(shown(item.text.trimmed())));
        if (value < low || value > high)
            return fail(item, name,
                        QStringLiteral("%1 is outside %2 to %3")
                            .arg(shown(item.text.trimmed()), QString::number(qint64(low)),
                                 QString::number(qint64(high))));
        out = qint32(value);
        return true;
    }

    // The item after the last one read, for the constants: false at the end of the file.
    bool more(Item& item)
    {
        const ItemReader::Result r = reader_.next(item, error_);
        return r == ItemReader::Got;
    }

    bool failed() const { return !error_.isEmpty(); }
    int lastLine() const { return lastLine_; } // the line of the last item read

    bool fail(const Item& item, const QString& name, const QString& what)
    {
        error_ = where(item, name) + QStringLiteral(": ") + what;
        return false;
    }

private:
    bool take(const QString& name, Item& item)
    {
        switch (reader_.next(item, error_)) {
        case ItemReader::Got:
            lastLine_ = item.line;
            return true;
        case ItemReader::End:
            error_ = QStringLiteral("the file ends early: %1 is missing").arg(name);
            return false;
        case ItemReader::Bad:
            break;
        }
        return false;
    }

    ItemReader reader_;
    QString& error_;
    int lastLine_ = 0;
};

QString capitalised(QString text)
{
    if (!text.isEmpty()) text[0] = text.at(0).toUpper();
    return text;
}

// A text the reader would not give back unchanged: nullptr when it is storable.
const char* unstorableEquation(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) return "a double quote";
        if (isLineBreak(c)) return "a line break";
        if (isControl(c)) return "a control character";
    }
    return nullptr;
}

// The reader splits an unquoted item at a comma and skips blanks before it: such a constant is
// written quoted. Any other stays unquoted, as it always was.
QString constantItem(const QString& text)
{
    const bool quote = text.contains(QLatin1Char(',')) || (!text.isEmpty() && isBlank(text.at(0)));
    return quote ? quoted(text) : text;
}

// Whether the lines begin with the magic as their first item.
bool startsWithMagic(const QStringList& lines)
{
    ItemReader reader(lines);
    Item item;
    QString ignored;
    return reader.next(item, ignored) == ItemReader::Got && item.text == kMagic;
}

// The second line of "Incompatible file": what the file holds instead of the mark.
QString whyIncompatible(const QStringList& lines)
{
    if (lines.join(QString()).trimmed().isEmpty()) return QStringLiteral("The file is empty.");
    if (std::any_of(lines.first().cbegin(), lines.first().cend(), isControl))
        return QStringLiteral("The file is not text (or not in UTF-8 or Latin-1).");
    return QStringLiteral("Its first item is not the setup file's mark, \"%1\".").arg(kMagic);
}
} // namespace

namespace SetupFile {
QString Incompatible()
{
    return QStringLiteral("Incompatible file");
}

SetupFileData fromSetup(const PlotSetup& setup, bool parametric, const QStringList& constants)
{
    SetupFileData data;
    data.parametric = parametric;
    data.setup = setup;
    data.constants = constants;
    return data;
}

QStringList toLines(const SetupFileData& data)
{
    PlotSetup s = data.setup;
    QStringList lines;
    lines << quoted(kMagic) + QLatin1Char(',') + QString::number(data.parametric ? 1 : 0);
    if (data.parametric) lines << quoted(s.EquationX) + QLatin1Char(',') + quoted(s.EquationY);
    lines << quoted(s.EquationZ);
    for (const QList<NumberSlot>& line : numberLines(s)) {
        QStringList items;
        for (const NumberSlot& slot : line)
            items << (slot.real ? FormatNumber7(*slot.real) : QString::number(*slot.integer));
        lines << items.join(QLatin1Char(','));
    }
    lines << QStringLiteral(" %1 ").arg(data.constants.size());
    for (const QString& constant : data.constants)
        lines << constantItem(constant);
    return lines;
}

bool fromLines(const QStringList& lines, SetupFileData& data, QString& error)
{
    error.clear();
    if (!startsWithMagic(lines)) {
        error = Incompatible() + QLatin1Char('\n') + whyIncompatible(lines);
        return false;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        for (const QChar c : lines.at(i)) {
            if (isControl(c)) {
                error = QStringLiteral("line %1 holds a character that is not text (code %2); "
                                       "this is not a setup file")
                            .arg(i + 1)
                            .arg(c.unicode());
                return false;
            }
        }
    }

    SetupFileData read;
    PlotSetup& s = read.setup;
    s = data.setup; // fields the file does not hold keep their values
    FieldReader in(lines, error);
    QString magicText;
    qint32 parametric = 0;
    if (!in.text(QStringLiteral("the magic"), magicText) ||
        !in.integer(QStringLiteral("Parametric"), parametric, 0, 1))
        return false;
    read.parametric = parametric == 1;
    if (read.parametric && (!in.text(QStringLiteral("EquationX"), s.EquationX) ||
                            !in.text(QStringLiteral("EquationY"), s.EquationY)))
        return false;
    if (!in.text(QStringLiteral("EquationZ"), s.EquationZ)) return false;
    for (const QList<NumberSlot>& line : numberLines(s)) {
        for (const NumberSlot& slot : line) {
            const bool ok =
                slot.real ? in.real(slot.name, *slot.real) : in.integer(slot.name, *slot.integer);
            if (!ok) return false;
        }
    }
    qint32 count = 0;
    if (!in.integer(QStringLiteral("the number of constants"), count, 0, double(MaxConstants)))
        return false;
    const int countLine = in.lastLine();
    for (qint32 k = 0; k < count; ++k) {
        Item item;
        if (!in.more(item)) {
            if (!in.failed())
                error = QStringLiteral("line %1 announces %2 constants, but only %3 follow")
                            .arg(countLine)
                            .arg(count)
                            .arg(k);
            return false;
        }
        read.constants << item.text;
    }
    data = read;
    return true;
}

QByteArray joinLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool splitLines(const QByteArray& bytes, QStringList& lines, QString& error)
{
    if (bytes.size() > MaxFileSize) {
        error = QStringLiteral("the file is larger than 1 MB; this is not a setup file");
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xfeff))) text.remove(0, 1);
    QStringList out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        out << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < n) out << text.mid(start);
    lines = out;
    return true;
}

QByteArray format(const SetupFileData& data)
{
    return joinLines(toLines(data));
}

bool parse(const QByteArray& bytes, SetupFileData& data, QString& error)
{
    QStringList lines;
    if (!splitLines(bytes, lines, error)) return false;
    if (!fromLines(lines, data, error)) {
        if (!error.startsWith(Incompatible())) error = capitalised(error) + QLatin1Char('.');
        return false;
    }
    return true;
}

bool checkStorable(const SetupFileData& data, QString& error)
{
    const PlotSetup& s = data.setup;
    QList<std::pair<QString, const QString*>> equations;
    if (data.parametric)
        equations << std::pair{QStringLiteral("X="), &s.EquationX}
                  << std::pair{QStringLiteral("Y="), &s.EquationY};
    equations << std::pair{QStringLiteral("Z="), &s.EquationZ};
    for (const auto& [label, text] : equations) {
        if (const char* why = unstorableEquation(*text)) {
            error = QStringLiteral("The equation %1 holds %2, which a setup file cannot store.")
                        .arg(label, QLatin1String(why));
            return false;
        }
    }
    if (data.constants.size() > MaxConstants) {
        error = QStringLiteral("There are %1 user constants; a setup file holds at most %2.")
                    .arg(data.constants.size())
                    .arg(MaxConstants);
        return false;
    }
    for (qsizetype i = 0; i < data.constants.size(); ++i) {
        if (const char* why = unstorableEquation(data.constants.at(i))) {
            error = QStringLiteral("The user constant \"%1\" holds %2, which a setup file cannot "
                                   "store.")
                        .arg(shown(data.constants.at(i)), QLatin1String(why));
            return false;
        }
    }
    PlotSetup copy = s;
    for (const QList<NumberSlot>& line : numberLines(copy)) {
        for (const NumberSlot& slot : line) {
            if (slot.real && !std::isfinite(*slot.real)) {
                error = QStringLiteral("%1 is not a finite number (%2), which a setup file "
                                       "cannot store.")
                            .arg(slot.name, FormatNumber7(*slot.real));
                return false;
            }
        }
    }
    return true;
}

bool readFile(const QString& path, SetupFileData& data, QString& error)
{
    const QString name = QDir::toNativeSeparators(path);
    const QByteArray encoded = QFile::encodeName(path);
    // Checked before opening: a FIFO without a writer would block the open or the read.
    struct stat st = {};
    QString reason;
    if (::stat(encoded.constData(), &st) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (S_ISDIR(st.st_mode))
        reason = QString::fromLocal8Bit(std::strerror(EISDIR));
    else if (!S_ISREG(st.st_mode))
        reason = QStringLiteral("it is not a regular file");
    if (!reason.isEmpty()) {
        error = QStringLiteral("Cannot open %1: %2.").arg(name, reason);
        return false;
    }
    if (st.st_size > MaxFileSize) {
        error = QStringLiteral("%1 is larger than 1 MB; this is not a setup file.").arg(name);
        return false;
    }
    QFile file;
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        error = QStringLiteral("Cannot open %1: %2.")
                    .arg(name, QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0) ::close(fd);
        return false;
    }
    // A file may grow after the check: read one byte past the limit.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        error = QStringLiteral("%1 is larger than 1 MB; this is not a setup file.").arg(name);
        return false;
    }
    QStringList lines;
    if (!splitLines(bytes, lines, error) || !fromLines(lines, data, error)) {
        if (!error.startsWith(Incompatible())) error = QStringLiteral("%1: %2.").arg(name, error);
        return false;
    }
    return true;
}

bool isForeign(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size == 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return true;
    QStringList lines;
    QString ignored;
    return !splitLines(file.readLine(4096), lines, ignored) || !startsWithMagic(lines);
}

QString ForeignQuestion(const QString& path)
{
    return QStringLiteral("%1 is not a setup file. Replace it?")
        .arg(QDir::toNativeSeparators(path));
}

QString BitmapName(const QString& setupFileName, int view)
{
    return setupFileName + (view == 0 ? QStringLiteral("_left.bmp") : QStringLiteral("_right.bmp"));
}

bool save(const QString& path, const QByteArray& bytes, const QList<QImage>& views, QString& error)
{
    QList<std::pair<QString, QByteArray>> files;
    // Bitmaps go beside a regular file only, not beside a device or a standard stream.
    const qsizetype bitmaps = SafeWrite::isSpecial(path) ? 0 : views.size();
    for (qsizetype view = 0; view < bitmaps; ++view) {
        const QString name = BitmapName(path, int(view));
        QByteArray image;
        if (!SafeWrite::imageBytes(name, views.at(view), "BMP", image, error)) return false;
        files.append({name, image});
    }
    files.append({path, bytes});
    return SafeWrite::writeFiles(files, error);
}

void ApplySetupToRecord(const SetupFileData& data, PlotSetup& setup)
{
    PlotSetup from = data.setup;
    const QList<QList<NumberSlot>> source = numberLines(from);
    const QList<QList<NumberSlot>> target = numberLines(setup);
    for (qsizetype l = 0; l < source.size(); ++l) {
        for (qsizetype i = 0; i < source.at(l).size(); ++i) {
            const NumberSlot& a = source.at(l).at(i);
            const NumberSlot& b = target.at(l).at(i);
            if (a.real)
                *b.real = *a.real;
            else
                *b.integer = *a.integer;
        }
    }
    if (data.parametric) {
        setup.EquationX = from.EquationX;
        setup.EquationY = from.EquationY;
    }
    setup.EquationZ = from.EquationZ;
}

void ApplySetupToFields(const SetupFileData& data, FormFields& fields)
{
    PlotSetup s = data.setup;
    if (data.parametric) {
        fields.setText(QStringLiteral("txtEquationX"), s.EquationX);
        fields.setText(QStringLiteral("txtEquationY"), s.EquationY);
        ParametricToggle::apply(fields);
    }
    fields.setText(QStringLiteral("txtEquationZ"), s.EquationZ);
    for (const QList<NumberSlot>& line : numberLines(s)) {
        for (const NumberSlot& slot : line) {
            if (slot.control.isEmpty()) continue;
            fields.setText(slot.control,
                           slot.real ? FormatNumber7(*slot.real) : QString::number(*slot.integer));
        }
    }
}
} // namespace SetupFile
