#include "interchange/rules/TDBtxtcopy.h"

#include "db/Dataset.h"
#include "db/Field.h"
#include "text/Formats.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>

namespace {

// The file name kept aside while writing to the clipboard: one for the process.
QString& keptFileName()
{
    static QString name;
    return name;
}

std::function<void(const QString&)>& clipboardWriter()
{
    static std::function<void(const QString&)> writer;
    return writer;
}

const QString invalidField = QStringLiteral("Invalid field selected for transformation:\r\n");

int storageWidth(const db::Field& f)
{
    switch (f.dataType()) {
    case db::FieldType::String:
        return f.size() + 1;
    case db::FieldType::Integer:
        return 4;
    case db::FieldType::SmallInt:
        return 2;
    default:
        return 8;
    }
}

QString blankLineBreaks(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

}  // namespace

EInvalidTransformation::EInvalidTransformation(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

EWriteError::EWriteError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}

TDBtxtcopy::TDBtxtcopy() = default;
TDBtxtcopy::~TDBtxtcopy() = default;

QString TDBtxtcopy::columnNames() const
{
    QString names;
    if (dataSet_)
        for (const auto& f : dataSet_->fields())
            names += f->fieldName() + QLatin1Char(' ');
    return names;
}

void TDBtxtcopy::setFieldsOrder(const QStringList& entries)
{
    fieldsOrder_.clear();
    const QString names = columnNames();
    for (const QString& entry : entries) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? entry : entry.left(eq);
        const QString title = eq < 0 ? QString() : entry.mid(eq + 1);
        // The check is on the names written one after another: a fragment of a name
        // passes here and is refused when Execute looks the column up.
        if (!names.contains(name))
            throw EInvalidTransformation(invalidField + name);
        fieldsOrder_ << name + QLatin1Char('=') + title;
    }
}

void TDBtxtcopy::setDataSet(db::Dataset* dataset)
{
    if (dataset == dataSet_)
        return;
    db::Dataset* before = dataSet_;
    dataSet_ = dataset;
    if (!dataset) {
        fieldsOrder_.clear();
        return;
    }
    if (!before)
        return;
    fieldsOrder_.clear();
    for (const auto& f : dataset->fields())
        fieldsOrder_ << f->fieldName() + QLatin1Char('=') + f->displayLabel();
}

void TDBtxtcopy::setSaveType(TSaveTypes type)
{
    if (type == saveType_)
        return;
    if (type == stSaveToClipBoard) {
        keptFileName() = fileName_;
        fileName_.clear();
    } else {
        fileName_ = keptFileName();
    }
    saveType_ = type;
}

void TDBtxtcopy::setClipboardWriter(std::function<void(const QString&)> writer)
{
    clipboardWriter() = std::move(writer);
}

QString TDBtxtcopy::valueText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return text::integerToText(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return text::floatToText(v.toDouble());
    case QMetaType::QDate:
        return text::formatDate(v.toDate());
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return text::formatDate(dt.date());
        return text::formatDateTime(dt);
    }
    default:
        return v.toString();
    }
}

void TDBtxtcopy::append(QString& line, const QString& value, int width) const
{
    switch (saveFormat_) {
    case sfDelimited:
        line += value;
        line += QChar(char16_t(separator_));
        break;
    case sfSDF:
        line += value.left(width).leftJustified(width, QLatin1Char(' '));
        line += QLatin1Char(' ');
        break;
    case sfCSV:
        line += QLatin1Char('"');
        line += value;
        line += QLatin1String("\",");
        break;
    }
}

void TDBtxtcopy::Execute()
{
    if (!dataSet_)
        throw EInvalidTransformation(QStringLiteral("Nenhum conjunto de dados para gravar."));
    db::Dataset& ds = *dataSet_;
    // Rows are read by position, so the current row never moves and bound controls
    // have nothing to show until the run ends.
    ds.disableControls();
    struct Resume {
        db::Dataset& ds;
        ~Resume() { ds.enableControls(); }
    } resume{ds};

    const bool filled = fieldsOrder_.isEmpty();
    if (filled)
        for (const auto& f : ds.fields())
            fieldsOrder_ << f->fieldName() + QLatin1Char('=') + f->fieldName();
    struct Empty {
        QStringList& list;
        bool on;
        ~Empty()
        {
            if (on)
                list.clear();
        }
    } empty{fieldsOrder_, filled};

    std::vector<RecFieldInfo> chain;
    chain.reserve(size_t(fieldsOrder_.size()));
    for (const QString& entry : fieldsOrder_) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        RecFieldInfo info;
        info.name = eq < 0 ? entry : entry.left(eq);
        info.title = eq < 0 ? QString() : entry.mid(eq + 1);
        info.field = ds.findField(info.name);
        if (!info.field)
            throw EInvalidTransformation(invalidField + info.name);
        info.width = storageWidth(*info.field);
        chain.push_back(info);
    }

    const auto cleaned = [this](const QString& value) { return blankLineBreaks_ ? blankLineBreaks(value) : value; };
    QString out;
    QString line;
    const auto endLine = [&] {
        line.chop(1);
        out += line;
        out += QLatin1String("\r\n");
        line.clear();
    };
    for (const RecFieldInfo& info : chain)
        append(line, cleaned(info.title), info.width);
    endLine();
    const int rows = ds.recordCount();
    for (int r = 0; r < rows; ++r) {
        for (const RecFieldInfo& info : chain)
            append(line, cleaned(valueText(ds.rowValue(r, *info.field))), info.width);
        endLine();
    }
    lastText_ = out;

    if (saveType_ == stSaveToClipBoard) {
        if (!clipboardWriter())
            throw EWriteError(QStringLiteral("A área de transferência não está disponível."));
        clipboardWriter()(out);
        return;
    }
    // The file is replaced whole or not at all.
    QSaveFile file(fileName_);
    const QByteArray bytes = text::toWin1252(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EWriteError(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2")
                              .arg(QDir::toNativeSeparators(fileName_), file.errorString()));
}
