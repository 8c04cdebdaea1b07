#pragma once
// Data-aware controls: each is bound to a data source and a field name and follows the
// dataset (it shows the current record and updates when the record, the field or the
// state changes). A user's change puts the dataset into edit by itself
// (DataSource::edit) and reaches the field at once: typed text through Field::setText,
// so a text that does not convert stays pending and the post fails naming the field.
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringList>
#include <QVariant>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

#include "db/DataSource.h"
#include "db/Dataset.h"  // DataSource.h holds a QPointer<Dataset>

namespace db {
class Field;
}  // namespace db

namespace ui {

class FieldLink;

// Edit box of one field: the edit text while it has the focus, the display text
// otherwise.
class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);
    DbEdit(db::DataSource* source, const QString& field, QWidget* parent = nullptr);
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const;
    void setDataField(const QString& name);
    QString dataField() const;
    db::Field* field() const;
    // How many characters may be typed when the field takes a longer form of its value
    // (a punctuated number stored as digits); 0: the field's size.
    void setTypedLength(int length) { typedLength_ = length; }

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void show(db::Field* f);
    FieldLink* link_;
    int typedLength_ = 0;
};

// Masked date edit ("99/99/9999"): an untouched mask is no date (null); a partly typed
// date stays pending and the post names the field.
class DbDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbDateEdit(QWidget* parent = nullptr);
    DbDateEdit(db::DataSource* source, const QString& field, QWidget* parent = nullptr);
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const;
    void setDataField(const QString& name);
    QString dataField() const;
    db::Field* field() const;
    // The typed text without the mask's blanks; empty when no digit was typed.
    QString dateText() const;

private:
    void show(db::Field* f);
    FieldLink* link_;
};

// Combo box over given items, storing the item's text. Pick-only (the default) shows
// nothing when the field holds a text that is not an item; typed lets any text in.
class DbComboBox : public QComboBox {
    Q_OBJECT
public:
    enum class Style { PickOnly, Typed };
    explicit DbComboBox(QWidget* parent = nullptr);
    DbComboBox(db::DataSource* source, const QString& field, QWidget* parent = nullptr);
    void setStyle(Style style);
    Style style() const { return style_; }
    void setItems(const QStringList& items);
    QStringList items() const;
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const;
    void setDataField(const QString& name);
    QString dataField() const;
    db::Field* field() const;

private:
    void show(db::Field* f);
    void chosen(int index);
    FieldLink* link_;
    Style style_ = Style::PickOnly;
};

// Pick-only list over a dataset (the list source): one entry per row of the list
// dataset, showing listField and standing for keyField. Bound to a field of another
// dataset it shows the entry whose key equals the field's value, or nothing; unbound,
// keyValue() is the chosen key. Choosing an entry makes its row the list dataset's
// current row (so a detail list follows it, as cities follow their state), sets the
// bound field to the key, then emits chosen(). Delete or Backspace clears the choice:
// the box shows no entry and the bound field becomes null.
class DbLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DbLookupComboBox(QWidget* parent = nullptr);
    void setListSource(db::DataSource* source);
    db::DataSource* listSource() const { return list_; }
    void setKeyField(const QString& name);
    QString keyField() const { return keyField_; }
    void setListField(const QString& name);
    QString listField() const { return listField_; }
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const;
    void setDataField(const QString& name);
    QString dataField() const;
    db::Field* field() const;

    // The key of the entry shown; null when none.
    QVariant keyValue() const;
    // Shows the entry of that key (nothing when none). Bound, the field takes the key
    // as a user's choice would, without moving the list.
    void setKeyValue(const QVariant& key);
    // What Delete and Backspace do: no entry, and a bound field made null as a user's
    // change (the dataset enters edit). Returns false when the field cannot be changed.
    bool clearChoice();

signals:
    // The user chose an entry (after the list and the field were set).
    void chosen();
    // The user cleared the choice.
    void cleared();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void rebuild();
    void show(const QVariant& key);
    void userChose(int index);
    int indexOfKey(const QVariant& key) const;
    FieldLink* link_;
    QPointer<db::DataSource> list_;
    QList<QMetaObject::Connection> listLinks_;
    QString keyField_;
    QString listField_;
    QVariant unboundKey_;
    bool rebuilding_ = false;
};

// Group of exclusive radio buttons, each item with the value it stores.
class DbRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit DbRadioGroup(const QString& caption = {}, QWidget* parent = nullptr);
    // Items and their values (the captions themselves when values is empty).
    void setItems(const QStringList& captions, const QStringList& values = {});
    QStringList items() const { return captions_; }
    QStringList values() const { return values_; }
    void setColumns(int columns);
    int columns() const { return columns_; }
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const;
    void setDataField(const QString& name);
    QString dataField() const;
    db::Field* field() const;

    // -1: none chosen.
    int itemIndex() const;
    // Chooses an item as a click does (a bound field takes its value); -1 clears the
    // buttons only.
    void setItemIndex(int index);
    QString value() const;
    QRadioButton* button(int index) const;

signals:
    void clicked(int index);

private:
    void layoutButtons();
    void show(db::Field* f);
    void check(int index);
    FieldLink* link_;
    QButtonGroup* group_;
    QGridLayout* grid_;
    QStringList captions_;
    QStringList values_;
    int columns_ = 1;
};

// Multi-line text of one field. Tab leaves the memo, as in the other boxes.
class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DbMemo(QWidget* parent = nullptr);
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const;
    void setDataField(const QString& name);
    QString dataField() const;
    db::Field* field() const;

private:
    void show(db::Field* f);
    FieldLink* link_;
    bool showing_ = false;
};

}  // namespace ui
