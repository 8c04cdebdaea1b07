#pragma once
// A field object of a dataset: one column (or a calculated or looked-up value) with its
// type, labels, formats and flags, reading and writing the dataset's current record.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace db {

class Dataset;

enum class FieldType { String, SmallInt, Integer, Float, Currency, Date, DateTime, Unknown };
enum class FieldKind { Data, Calculated, Lookup };

class Field {
public:
    Field(Dataset* dataset, const QString& name, FieldType type, int size, FieldKind kind);

    Dataset* dataset() const { return dataset_; }
    QString fieldName() const { return name_; }
    FieldType dataType() const { return type_; }
    int size() const { return size_; }
    FieldKind kind() const { return kind_; }
    bool isNumeric() const;

    // Properties, chainable when a dataset's fields are defined.
    QString displayLabel() const { return label_.isEmpty() ? name_ : label_; }
    Field& setDisplayLabel(const QString& label) { label_ = label; return *this; }
    QString displayFormat() const { return displayFormat_; }
    Field& setDisplayFormat(const QString& mask) { displayFormat_ = mask; return *this; }
    QString editFormat() const { return editFormat_; }
    Field& setEditFormat(const QString& mask) { editFormat_ = mask; return *this; }
    bool isRequired() const { return required_; }
    Field& setRequired(bool on = true) { required_ = on; return *this; }
    int tag() const { return tag_; }
    Field& setTag(int tag) { tag_ = tag; return *this; }
    bool isVisible() const { return visible_; }
    Field& setVisible(bool on);
    // Characters a grid column shows; 0 takes the size.
    int displayWidth() const;
    Field& setDisplayWidth(int chars) { displayWidth_ = chars; return *this; }
    bool isReadOnly() const { return readOnly_ || kind_ == FieldKind::Lookup; }
    Field& setReadOnly(bool on = true) { readOnly_ = on; return *this; }
    // Currency fields show the money mask unless a display format is given.
    bool isCurrency() const { return currency_ || type_ == FieldType::Currency; }
    Field& setCurrency(bool on = true) { currency_ = on; return *this; }

    // A lookup field: the value of resultField in the row of lookupDataset whose
    // lookupKeyFields equal this dataset's keyFields (names separated by ';').
    Field& setLookup(Dataset* lookupDataset, const QString& keyFields, const QString& lookupKeyFields,
                     const QString& resultField);
    Dataset* lookupDataset() const { return lookupDataset_; }
    QString keyFields() const { return keyFields_; }
    QString lookupKeyFields() const { return lookupKeyFields_; }
    QString lookupResultField() const { return lookupResultField_; }

    // Value of the dataset's current record (the pending one while inserting or editing).
    QVariant value() const;
    QVariant oldValue() const;
    bool isNull() const;
    bool isChanged() const;
    void setValue(const QVariant& value);
    void clear() { setValue(QVariant()); }

    // The full value as text, whatever the display and edit formats: a number in the
    // general format (1234,5678), a date dd/mm/yyyy, a date and time with hh:mm:ss
    // unless at midnight.
    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    QDate asDate() const;
    QDateTime asDateTime() const;
    // Converts by the field's type with the process formats (a date and time field takes
    // dd/mm/yyyy with an optional hh:mm or hh:mm:ss); throws DataError naming the field
    // when the text does not convert, or holds a character the database cannot store.
    // Empty text gives null.
    void setAsString(const QString& text);
    void setAsInteger(int v) { setValue(v); }
    void setAsFloat(double v) { setValue(v); }
    void setAsDate(const QDate& d) { setValue(d); }

    // Text as a typing user gives it: converted when it can be; otherwise kept as typed
    // and the post fails naming the field. Used by the editing controls.
    void setText(const QString& text);
    // Text shown by grids and read-only controls (display format applied).
    QString displayText() const;
    // Text offered for editing (the text a user typed that did not convert, if any).
    QString editText() const;
    // Display text of a given value, by this field's formats.
    QString formatValue(const QVariant& value, bool forEdit = false) const;
    // Converts a value to this field's type (null stays null); throws DataError.
    QVariant coerce(const QVariant& value) const;

    // Text hooks: replace the shown text and the conversion of typed text.
    std::function<QString(const Field&, bool forDisplay)> onGetText;
    std::function<void(Field&, const QString&)> onSetText;

    // Position of the field's slot in the record buffer (-1 for lookups).
    int slot() const { return slot_; }

private:
    friend class Dataset;
    std::optional<QVariant> convertText(const QString& text) const;
    QString plainText(const QVariant& value) const;
    // Why the database could not store this value of the field (a character outside
    // its character set), if it could not.
    std::optional<QString> storageProblem(const QVariant& value) const;

    Dataset* dataset_;
    QString name_;
    FieldType type_;
    int size_;
    FieldKind kind_;
    QString label_;
    QString displayFormat_;
    QString editFormat_;
    bool required_ = false;
    int tag_ = 0;
    bool visible_ = true;
    int displayWidth_ = 0;
    bool readOnly_ = false;
    bool currency_ = false;
    Dataset* lookupDataset_ = nullptr;
    QString keyFields_;
    QString lookupKeyFields_;
    QString lookupResultField_;
    QStringList keyFieldList_;
    QStringList lookupKeyFieldList_;
    int slot_ = -1;
};

}  // namespace db
