#pragma once
// Writes every row of a dataset as lines of text: a header line with one title per
// column, then one line per row, as delimited, fixed-width (SDF) or comma-separated
// quoted text, to a file or to the clipboard. The export writes its interchange files
// with it (delimited, separator line feed).
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace db {
class Dataset;
class Field;
}  // namespace db

// A FieldsOrder entry that names no column of the dataset.
class EInvalidTransformation : public std::runtime_error {
public:
    explicit EInvalidTransformation(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

// A file that could not be written.
class EWriteError : public std::runtime_error {
public:
    explicit EWriteError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

enum TSaveTypes { stSaveToFile, stSaveToClipBoard };
enum TSaveFormatTypes { sfDelimited, sfSDF, sfCSV };
using TSeparatorTypes = unsigned char;

class TDBtxtcopy {
public:
    TDBtxtcopy();
    ~TDBtxtcopy();
    TDBtxtcopy(const TDBtxtcopy&) = delete;
    TDBtxtcopy& operator=(const TDBtxtcopy&) = delete;

    // Entries "COLUMN=Title". Setting validates each entry against the dataset's column
    // names and throws EInvalidTransformation at the first one refused; the entries
    // copied before it stay.
    const QStringList& FieldsOrder() const { return fieldsOrder_; }
    void setFieldsOrder(const QStringList& entries);

    db::Dataset* DataSet() const { return dataSet_; }
    // Replacing one dataset by another resets FieldsOrder to the new one's columns
    // ("NAME=Display label"); no dataset empties it.
    void setDataSet(db::Dataset* dataset);

    TSaveTypes SaveType() const { return saveType_; }
    // To the clipboard: FileName is kept aside (one slot for the process) and emptied;
    // back to a file: the kept name returns.
    void setSaveType(TSaveTypes type);

    QString FileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }

    TSeparatorTypes Separator() const { return separator_; }
    void setSeparator(TSeparatorTypes separator) { separator_ = separator; }

    TSaveFormatTypes SaveFormat() const { return saveFormat_; }
    void setSaveFormat(TSaveFormatTypes format) { saveFormat_ = format; }

    // Each carriage return, line feed or pair of both inside a value is written as one
    // blank, so that a reader that takes them as line breaks sees every value in its
    // place. Off unless set.
    bool BlankLineBreaks() const { return blankLineBreaks_; }
    void setBlankLineBreaks(bool on) { blankLineBreaks_ = on; }

    // Writes the dataset. A file is replaced whole or not at all. The dataset's current
    // row and bound controls are left as they were. Throws EInvalidTransformation
    // (nothing written) and EWriteError.
    void Execute();

    // The text of the last Execute, as written (before the Windows-1252 encoding).
    // The lines of a run end with CR LF, the last one included.
    QString lastText() const { return lastText_; }

    // Where stSaveToClipBoard puts its text. The rules know no windowing system: the
    // program installs the clipboard at start-up; without one, Execute fails.
    static void setClipboardWriter(std::function<void(const QString&)> writer);

    // The text form of a value as written in the files (empty for null).
    static QString valueText(const QVariant& value);

private:
    struct RecFieldInfo {
        QString name;
        QString title;
        int width = 0;
        const db::Field* field = nullptr;
    };
    QString columnNames() const;
    void append(QString& line, const QString& value, int width) const;

    QStringList fieldsOrder_;
    db::Dataset* dataSet_ = nullptr;
    TSaveTypes saveType_ = stSaveToFile;
    QString fileName_;
    TSeparatorTypes separator_ = 9;
    TSaveFormatTypes saveFormat_ = sfDelimited;
    bool blankLineBreaks_ = false;
    QString lastText_;
};
