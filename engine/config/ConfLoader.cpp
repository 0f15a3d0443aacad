#include "engine/config/ConfLoader.h"

#include "engine/model/EngineState.h"
#include "engine/ports/MessageBoxService.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/protocol/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

const QString ConfFileName = QStringLiteral("conf.xml");
const QString CurrentVersion = QStringLiteral("1.0.4");
// Warnings carry the program's title; a parse failure the executable's name, so that the
// user can tell it apart from the program's own complaints about the content.
const QString &ProgramTitle = ProgramIdentity::Title;
const QString &ExecutableName = ProgramIdentity::ExecutableName;
const QString FailureTitle = QStringLiteral("Errore");

// A fault of the file that ends the load, with what the user needs to find it.
struct ConfFault : std::runtime_error
{
    enum Kind { MissingAttribute, NotANumber, OutOfRange };

    ConfFault(Kind k, QString elementName, QString attributeName, QString text, qint64 lineNumber)
        : std::runtime_error("conf.xml fault"), kind(k), element(std::move(elementName)),
          attribute(std::move(attributeName)), value(std::move(text)), line(lineNumber)
    {
    }

    Kind kind;
    QString element;
    QString attribute;
    QString value;
    qint64 line;
};

} // namespace

// One element of the document: its name and attributes, kept after parsing so that the
// kinds can be read one after the other, each in document order.
class ConfElement
{
public:
    ConfElement(QString name, QXmlStreamAttributes attributes, qint64 line)
        : m_name(std::move(name)), m_attributes(std::move(attributes)), m_line(line)
    {
    }

    const QString &name() const { return m_name; }

    std::optional<QString> attribute(const QString &key) const
    {
        if (!m_attributes.hasAttribute(key))
            return std::nullopt;
        return m_attributes.value(key).toString();
    }
    // Absent reads as the empty text.
    QString text(const QString &key) const { return attribute(key).value_or(QString()); }
    QString required(const QString &key) const
    {
        auto v = attribute(key);
        if (!v)
            throw fault(ConfFault::MissingAttribute, key, QString());
        return *v;
    }
    // The attribute's text as a number rounded to a whole one (halves to even); kept as a
    // double so that a number too large for any integer still meets its range test.
    double wholeNumber(const QString &key, const QString &text) const
    {
        const auto v = NumberConversions::tryValue(text);
        if (!v)
            throw fault(ConfFault::NotANumber, key, text);
        return std::nearbyint(*v);
    }
    ConfFault fault(ConfFault::Kind kind, const QString &key, const QString &text) const
    {
        return ConfFault(kind, m_name, key, text, m_line);
    }

private:
    QString m_name;
    QXmlStreamAttributes m_attributes;
    qint64 m_line;
};

namespace {

struct ParsedDocument
{
    std::vector<ConfElement> elements;
    QString error;

    std::vector<const ConfElement *> all(const QString &name) const
    {
        std::vector<const ConfElement *> found;
        for (const auto &e : elements) {
            if (e.name() == name)
                found.push_back(&e);
        }
        return found;
    }
};

// Files written with a Windows editor are often Windows-1252 without saying so; when the
// bytes are not UTF-8 and the declaration names no encoding, read them as that code page
// instead of rejecting the whole installation for an accented name.
bool looksLikeUndeclared1252(const QByteArray &bytes)
{
    if (bytes.contains('\0') || bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE"))
        return false;
    if (bytes.startsWith("<?xml")) {
        const qsizetype end = bytes.indexOf("?>");
        if (end < 0 || bytes.left(end).contains("encoding"))
            return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString ignored = utf8(bytes);
    Q_UNUSED(ignored);
    return utf8.hasError();
}

ParsedDocument parse(const QString &path)
{
    ParsedDocument doc;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        doc.error = file.errorString();
        return doc;
    }
    const QByteArray bytes = file.readAll();
    QXmlStreamReader reader;
    if (looksLikeUndeclared1252(bytes))
        reader.addData(Windows1252::decode(bytes));
    else
        reader.addData(bytes);

    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            doc.elements.emplace_back(reader.qualifiedName().toString(), reader.attributes(), reader.lineNumber());
    }
    if (reader.hasError()) {
        doc.error = QStringLiteral("%1 (line %2, column %3)")
                        .arg(reader.errorString())
                        .arg(reader.lineNumber())
                        .arg(reader.columnNumber());
    }
    return doc;
}

// The leading number of a camera address, written back as the bus expects it.
QString addressText(double v)
{
    if (std::floor(v) == v && std::fabs(v) < 1e15)
        return QString::number(static_cast<qint64>(v));
    return QString::number(v, 'g', 15);
}

bool acceptedCenCode(const QString &code)
{
    const double v = NumberConversions::numberValue(code);
    return v >= 99 && v <= 9999 && code.size() >= 4;
}

QString withNumber(QString text, const QString &number)
{
    return text.replace(QStringLiteral("\\n"), number);
}

// "line 12: the <device> element has no point attribute", from the language file; a file
// older than those texts still says where: "conf.xml:12: <device> point".
QString describe(const LanguageTexts &lang, const ConfFault &f)
{
    static const char *const keys[] = {"xmlNoAttr", "xmlNotNum", "xmlOutRange"};
    QString text = lang.e(QLatin1String(keys[f.kind]));
    if (text.isEmpty()) {
        text = QStringLiteral("conf.xml:\\l: <\\e> \\a");
        if (f.kind != ConfFault::MissingAttribute)
            text += QStringLiteral("=\"\\v\"");
    }
    // The value last: it is the user's text and may hold anything.
    text.replace(QStringLiteral("\\l"), QString::number(f.line));
    text.replace(QStringLiteral("\\e"), f.element);
    text.replace(QStringLiteral("\\a"), f.attribute);
    text.replace(QStringLiteral("\\v"), f.value);
    return text;
}

quint8 byteOf(const ConfElement &e, const QString &key, const QString &text, double v)
{
    if (!(v >= 0 && v <= 255))
        throw e.fault(ConfFault::OutOfRange, key, text);
    return quint8(v);
}

} // namespace

struct ConfLoader::NumberedKind
{
    const char *element;
    const char *numberAttribute;
    int first;  // 0 or 1; below 1, a kind starting at 1 has a fault, not a warning
    int last;
    const char *rangeKey;
    const char *duplicateKey;
};

ConfLoader::ConfLoader(EngineState &state, MessageBoxService &boxes) : m_state(state), m_boxes(boxes) {}

bool ConfLoader::CaricaConf()
{
    return CaricaConf(QDir(m_state.programFolder).filePath(ConfFileName));
}

bool ConfLoader::CaricaConf(const QString &path)
{
    const ParsedDocument doc = parse(path);
    if (!doc.error.isEmpty())
        return fail(QDir::toNativeSeparators(path) + QLatin1Char('\n') + doc.error, ExecutableName);

    const auto versions = doc.all(QStringLiteral("version"));
    checkVersion(versions.empty() ? nullptr : versions.front());

    InstallationModel &model = m_state.model;
    static const NumberedKind Group{"group", "group", 1, 9, "xmlGrErr", "xmlGrDup"};
    static const NumberedKind Load{"load", "priority", 1, InstallationModel::LoadCount - 1, "xmlLoadErr",
                                   "xmlLoadDup"};
    static const NumberedKind Aux{"aux", "number", 1, 15, "xmlAuxErr", "xmlAuxDup"};
    static const NumberedKind Probe{"probe", "number", 1, 99, "xmlProbeErr", "xmlProbeDup"};
    static const NumberedKind Camera{"camera", "number", 1, 12, "xmlCameraErr", "xmlCameraDup"};
    static const NumberedKind F420{"scf420", "number", 1, 16, "xmlf420Err", "xmlf420Dup"};
    static const NumberedKind MH200{"scmh200", "number", 0, 100, "xml200Err", "xml200Dup"};

    const QString Name = QStringLiteral("name");
    // A plain name table: range and duplicate rules, then the name.
    const auto readNames = [&](const NumberedKind &kind, auto &table) {
        for (const ConfElement *e : doc.all(QLatin1String(kind.element))) {
            if (const auto n = admit(*e, kind, [&](int i) { return table.at(i); }))
                table.at(*n) = e->text(Name);
        }
    };

    try {
        for (const ConfElement *e : doc.all(QStringLiteral("device")))
            readDevice(*e);
        readNames(Group, model.Gruppi);
        readNames(Load, model.Carichi);
        readNames(Aux, model.NomiAux);
        readNames(Probe, model.Sonde);
        for (const ConfElement *e : doc.all(QLatin1String(Camera.element))) {
            if (const auto n = admit(*e, Camera, [&](int i) { return model.NomiCamere.at(i); })) {
                model.NomiCamere.at(*n) = e->text(Name);
                readCamera(*e, *n);
            }
        }
        for (const ConfElement *e : doc.all(QLatin1String(F420.element))) {
            if (const auto n = admit(*e, F420, [&](int i) { return model.ScenariF420.at(i).name; })) {
                ScenarioF420 &s = model.ScenariF420.at(*n);
                s.name = e->text(Name);
                s.address = e->text(QStringLiteral("adr"));
                s.defined = QStringLiteral("1");
            }
        }
        for (const ConfElement *e : doc.all(QLatin1String(MH200.element))) {
            if (const auto n = admit(*e, MH200, [&](int i) { return model.ScenariMH200.at(i).name; }))
                readProgrammerScenario(*e, *n);
        }
    } catch (const ConfFault &f) {
        // Nothing half-read may outlive a failed load.
        model = InstallationModel{};
        const QString closing = m_state.lang.e(QStringLiteral("xmlgen"));
        const QString where = describe(m_state.lang, f);
        return fail(closing.isEmpty() ? where : closing + QLatin1Char('\n') + where, FailureTitle);
    } catch (const std::exception &) {
        model = InstallationModel{};
        return fail(m_state.lang.e(QStringLiteral("xmlgen")), FailureTitle);
    }

    model.ConfCaricata = true;
    return true;
}

void ConfLoader::checkVersion(const ConfElement *version)
{
    if (version) {
        const auto number = version->attribute(QStringLiteral("number"));
        if (!number || *number == CurrentVersion)
            return;
    }
    warn(m_state.lang.e(QStringLiteral("xmlold")));
}

void ConfLoader::readDevice(const ConfElement &e)
{
    const QString Point = QStringLiteral("point");
    const QString pointText = e.required(Point);
    const double point = e.wholeNumber(Point, pointText);
    if (point < 0 || point >= InstallationModel::PointCount)
        throw e.fault(ConfFault::OutOfRange, Point, pointText);

    Dispositivo &slot = m_state.model.Dispositivi.at(std::size_t(point));
    if (slot.configured()) {
        warn(withNumber(m_state.lang.e(QStringLiteral("xmlActDup")), pointText));
        return;
    }

    // A fresh record, so that an unconfigured point replaced later keeps nothing of the
    // earlier element (no stale pull flag or dimmer value).
    Dispositivo d;
    d.state = slot.state;
    d.name = e.required(QStringLiteral("name"));
    d.type = e.required(QStringLiteral("type"));
    const QString Group = QStringLiteral("group");
    const QString groupText = e.required(Group);
    d.group = byteOf(e, Group, groupText, std::nearbyint(NumberConversions::numberValue(groupText)));
    d.pull = e.text(QStringLiteral("pull")).toLower() == QLatin1String("pull");
    const QString Dimmer = QStringLiteral("dimmer");
    const QString dimmer = e.text(Dimmer);
    if (!dimmer.isEmpty())
        d.dimmer = byteOf(e, Dimmer, dimmer, e.wholeNumber(Dimmer, dimmer));
    slot = d;
}

std::optional<int> ConfLoader::admit(const ConfElement &e, const NumberedKind &kind,
                                     const std::function<QString(int)> &nameAt)
{
    const QString attribute = QLatin1String(kind.numberAttribute);
    const QString numberText = e.required(attribute);
    // Fractions are rounded before the range test, so that the entry stored is the one the
    // range test passed.
    const double n = e.wholeNumber(attribute, numberText);
    if (n < 0 && kind.first > 0)
        throw e.fault(ConfFault::OutOfRange, attribute, numberText);
    if (n < kind.first || n > kind.last) {
        warnRange(kind.rangeKey, e, numberText);
        return std::nullopt;
    }
    const int entry = int(n);
    if (!nameAt(entry).isEmpty()) {
        warn(withNumber(m_state.lang.e(QLatin1String(kind.duplicateKey)), numberText));
        return std::nullopt;
    }
    return entry;
}

void ConfLoader::readCamera(const ConfElement &e, int n)
{
    const QString numberText = e.text(QStringLiteral("number"));
    const QString type = e.required(QStringLiteral("type"));
    const QString adr = e.required(QStringLiteral("adr"));
    QString &stored = m_state.model.IndirizziCamere.at(n);
    stored.clear();
    if (adr.isEmpty()) {
        warnRange("xmlCameraErr", e, numberText);
        return;
    }
    const double address = NumberConversions::numberValue(adr);
    stored = addressText(address);
    if (address < 4000 || address > 5000) {
        warnRange("xmlCameraErr", e, numberText);
        return;
    }
    if (type == QLatin1String("2"))
        stored += QStringLiteral("#2");
    else if (type != QLatin1String("1"))
        warnRange("xmlCameraErr", e, numberText);
}

void ConfLoader::readProgrammerScenario(const ConfElement &e, int n)
{
    const QString numberText = e.text(QStringLiteral("number"));
    ScenarioMH200 &s = m_state.model.ScenariMH200.at(n);
    s.name = e.required(QStringLiteral("name"));

    const QString cenact = e.required(QStringLiteral("cenact"));
    if (!acceptedCenCode(cenact)) {
        warnRange("xmlcenAErr", e, numberText);
        return;
    }
    s.cenact = cenact;

    const QString cendis = e.required(QStringLiteral("cendis"));
    if (!acceptedCenCode(cendis)) {
        warnRange("xmlcenDErr", e, numberText);
        return;
    }
    s.cendis = cendis;
}

void ConfLoader::warnRange(const char *key, const ConfElement &e, const QString &numberText)
{
    warn(m_state.lang.e(QLatin1String(key)) + QStringLiteral(": ") + numberText + QStringLiteral(" - ")
         + e.text(QStringLiteral("name")));
}

void ConfLoader::warn(const QString &text)
{
    m_boxes.message(text, ProgramTitle, MessageBoxService::Icon::None);
}

bool ConfLoader::fail(const QString &text, const QString &title)
{
    m_boxes.message(text, title, MessageBoxService::Icon::Critical);
    m_state.InChiusura = true;
    return false;
}
