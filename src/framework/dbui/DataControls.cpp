#include "dbui/DataControls.h"

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "dbui/FieldLink.h"
#include "widgets/Guard.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QRadioButton>

namespace ui {

namespace {

bool isNull(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

// Keys compare by value whatever the types the two datasets gave them (an integer
// code against a code read as a double, a text against a text).
bool sameKey(const QVariant& a, const QVariant& b)
{
    if (isNull(a) || isNull(b))
        return false;
    const auto numeric = [](const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Double:
        case QMetaType::Float:
            return true;
        default:
            return false;
        }
    };
    if (numeric(a) && numeric(b))
        return a.toDouble() == b.toDouble();
    return a.toString() == b.toString();
}

}  // namespace

// --- DbEdit -------------------------------------------------------------------

DbEdit::DbEdit(QWidget* parent) : QLineEdit(parent), link_(new FieldLink(this))
{
    link_->onRefresh = [this](db::Field* f) { show(f); };
    link_->onUpdate = [this](db::Field& f) { f.setText(text()); };
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) {
        link_->userChange([&](db::Field& f) { f.setText(t); });
    });
}

DbEdit::DbEdit(db::DataSource* source, const QString& field, QWidget* parent) : DbEdit(parent)
{
    setDataField(field);
    setDataSource(source);
}

void DbEdit::setDataSource(db::DataSource* source) { link_->setDataSource(source); }
db::DataSource* DbEdit::dataSource() const { return link_->dataSource(); }
void DbEdit::setDataField(const QString& name) { link_->setDataField(name); }
QString DbEdit::dataField() const { return link_->dataField(); }
db::Field* DbEdit::field() const { return link_->field(); }

void DbEdit::show(db::Field* f)
{
    if (!f) {
        setText(QString());
        return;
    }
    if (typedLength_ > 0)
        setMaxLength(typedLength_);
    else if (f->dataType() == db::FieldType::String && f->size() > 0)
        setMaxLength(f->size());
    setReadOnly(!link_->canModify());
    setText(hasFocus() ? f->editText() : f->displayText());
    // A long text shows its beginning, not the end where setText leaves the cursor.
    if (!hasFocus())
        setCursorPosition(0);
}

void DbEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (!link_->isModified())
        link_->refresh();
}

void DbEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (!link_->isModified())
        link_->refresh();
}

// --- DbDateEdit ---------------------------------------------------------------

DbDateEdit::DbDateEdit(QWidget* parent) : QLineEdit(parent), link_(new FieldLink(this))
{
    setInputMask(QStringLiteral("99/99/9999;_"));
    link_->onRefresh = [this](db::Field* f) { show(f); };
    link_->onUpdate = [this](db::Field& f) { f.setText(dateText()); };
    connect(this, &QLineEdit::textEdited, this, [this] {
        const QString t = dateText();
        link_->userChange([&](db::Field& f) { f.setText(t); });
    });
}

DbDateEdit::DbDateEdit(db::DataSource* source, const QString& field, QWidget* parent) : DbDateEdit(parent)
{
    setDataField(field);
    setDataSource(source);
}

void DbDateEdit::setDataSource(db::DataSource* source) { link_->setDataSource(source); }
db::DataSource* DbDateEdit::dataSource() const { return link_->dataSource(); }
void DbDateEdit::setDataField(const QString& name) { link_->setDataField(name); }
QString DbDateEdit::dataField() const { return link_->dataField(); }
db::Field* DbDateEdit::field() const { return link_->field(); }

QString DbDateEdit::dateText() const
{
    const QString t = text();
    for (QChar c : t)
        if (c.isDigit())
            return t;
    return QString();
}

void DbDateEdit::show(db::Field* f)
{
    setReadOnly(f && !link_->canModify());
    setText(f ? f->editText() : QString());
}

// --- DbComboBox ---------------------------------------------------------------

DbComboBox::DbComboBox(QWidget* parent) : QComboBox(parent), link_(new FieldLink(this))
{
    link_->onRefresh = [this](db::Field* f) { show(f); };
    link_->onUpdate = [this](db::Field& f) { f.setText(currentText()); };
    connect(this, &QComboBox::activated, this, &DbComboBox::chosen);
    setCurrentIndex(-1);
}

DbComboBox::DbComboBox(db::DataSource* source, const QString& field, QWidget* parent) : DbComboBox(parent)
{
    setDataField(field);
    setDataSource(source);
}

void DbComboBox::setStyle(Style style)
{
    if (style == style_)
        return;
    style_ = style;
    setEditable(style == Style::Typed);
    // Each switch to typed makes a new line edit. It shows what the field holds: no
    // item completed behind the user's typing, none added by Enter.
    if (QLineEdit* le = lineEdit()) {
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
        connect(le, &QLineEdit::textEdited, this, [this](const QString& t) {
            link_->userChange([&](db::Field& f) { f.setText(t); });
        });
    }
    link_->refresh();
}

void DbComboBox::setItems(const QStringList& items)
{
    clear();
    addItems(items);
    link_->refresh();
}

QStringList DbComboBox::items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << itemText(i);
    return out;
}

void DbComboBox::setDataSource(db::DataSource* source) { link_->setDataSource(source); }
db::DataSource* DbComboBox::dataSource() const { return link_->dataSource(); }
void DbComboBox::setDataField(const QString& name) { link_->setDataField(name); }
QString DbComboBox::dataField() const { return link_->dataField(); }
db::Field* DbComboBox::field() const { return link_->field(); }

void DbComboBox::show(db::Field* f)
{
    const QString t = f ? f->editText() : QString();
    const int i = t.isEmpty() ? -1 : findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(i);
    if (style_ == Style::Typed)
        setEditText(t);
}

void DbComboBox::chosen(int index)
{
    const QString t = itemText(index);
    if (!link_->userChange([&](db::Field& f) { f.setText(t); }))
        link_->refresh();
}

// --- DbLookupComboBox ---------------------------------------------------------

DbLookupComboBox::DbLookupComboBox(QWidget* parent) : QComboBox(parent), link_(new FieldLink(this))
{
    link_->onRefresh = [this](db::Field* f) {
        if (link_->dataSource())
            show(f ? f->value() : QVariant());
        else
            show(unboundKey_);
    };
    connect(this, &QComboBox::activated, this, &DbLookupComboBox::userChose);
    setCurrentIndex(-1);
}

void DbLookupComboBox::setListSource(db::DataSource* source)
{
    for (const auto& l : listLinks_)
        disconnect(l);
    listLinks_.clear();
    list_ = source;
    if (source) {
        listLinks_ << connect(source, &db::DataSource::rowsChanged, this, &DbLookupComboBox::rebuild);
        listLinks_ << connect(source, &db::DataSource::datasetChanged, this, &DbLookupComboBox::rebuild);
        listLinks_ << connect(source, &db::DataSource::dataChanged, this, [this](db::Field* f) {
            // A whole-record notice after display suspension may carry new rows.
            if (!f && list_ && list_->dataset() && list_->dataset()->recordCount() != count())
                rebuild();
        });
    }
    rebuild();
}

void DbLookupComboBox::setKeyField(const QString& name)
{
    keyField_ = name;
    rebuild();
}

void DbLookupComboBox::setListField(const QString& name)
{
    listField_ = name;
    rebuild();
}

void DbLookupComboBox::setDataSource(db::DataSource* source) { link_->setDataSource(source); }
db::DataSource* DbLookupComboBox::dataSource() const { return link_->dataSource(); }
void DbLookupComboBox::setDataField(const QString& name) { link_->setDataField(name); }
QString DbLookupComboBox::dataField() const { return link_->dataField(); }
db::Field* DbLookupComboBox::field() const { return link_->field(); }

void DbLookupComboBox::rebuild()
{
    rebuilding_ = true;
    clear();
    db::Dataset* ds = list_ ? list_->dataset() : nullptr;
    if (ds && ds->isActive() && !ds->controlsDisabled()) {
        const db::Field* key = ds->findField(keyField_);
        const db::Field* shown = ds->findField(listField_.isEmpty() ? keyField_ : listField_);
        if (key && shown)
            for (int r = 0; r < ds->recordCount(); ++r)
                addItem(ds->rowDisplayText(r, *shown), ds->rowValue(r, *key));
    }
    rebuilding_ = false;
    if (link_->dataSource())
        link_->refresh();
    else
        show(unboundKey_);
}

int DbLookupComboBox::indexOfKey(const QVariant& key) const
{
    for (int i = 0; i < count(); ++i)
        if (sameKey(itemData(i), key))
            return i;
    return -1;
}

void DbLookupComboBox::show(const QVariant& key)
{
    setCurrentIndex(indexOfKey(key));
}

QVariant DbLookupComboBox::keyValue() const
{
    const int i = currentIndex();
    return i < 0 ? QVariant() : itemData(i);
}

void DbLookupComboBox::setKeyValue(const QVariant& key)
{
    unboundKey_ = key;
    if (link_->dataSource() && !link_->dataField().isEmpty()) {
        link_->userChange([&](db::Field& f) { f.setValue(key); });
        link_->refresh();
    } else {
        show(key);
    }
}

bool DbLookupComboBox::clearChoice()
{
    if (link_->dataSource() && !link_->dataField().isEmpty()) {
        if (!link_->userChange([](db::Field& f) { f.clear(); }))
            return false;
    }
    unboundKey_ = QVariant();
    show(QVariant());
    return true;
}

void DbLookupComboBox::keyPressEvent(QKeyEvent* e)
{
    const bool erase = e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace;
    if (erase && !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        e->accept();
        if (clearChoice())
            emit cleared();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void DbLookupComboBox::userChose(int index)
{
    if (rebuilding_ || index < 0)
        return;
    const QVariant key = itemData(index);
    const bool ok = guarded(
        [&] {
            // The entry's row becomes current first: a detail of the list follows it.
            if (db::Dataset* ds = list_ ? list_->dataset() : nullptr; ds && ds->isActive() && index < ds->recordCount())
                ds->setRecNo(index + 1);
        },
        window());
    if (!ok)
        return;
    unboundKey_ = key;
    if (link_->dataSource() && !link_->dataField().isEmpty()) {
        if (!link_->userChange([&](db::Field& f) { f.setValue(key); }))
            return;
    }
    show(key);
    emit chosen();
}

// --- DbRadioGroup -------------------------------------------------------------

DbRadioGroup::DbRadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), link_(new FieldLink(this)), group_(new QButtonGroup(this)), grid_(new QGridLayout(this))
{
    group_->setExclusive(true);
    link_->onRefresh = [this](db::Field* f) { show(f); };
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { setItemIndex(id); emit clicked(id); });
}

void DbRadioGroup::setItems(const QStringList& captions, const QStringList& values)
{
    for (QAbstractButton* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    captions_ = captions;
    values_ = values.isEmpty() ? captions : values;
    for (int i = 0; i < captions_.size(); ++i) {
        auto* b = new QRadioButton(captions_.at(i), this);
        group_->addButton(b, i);
    }
    layoutButtons();
    link_->refresh();
}

void DbRadioGroup::setColumns(int columns)
{
    columns_ = std::max(1, columns);
    layoutButtons();
}

void DbRadioGroup::layoutButtons()
{
    const QList<QAbstractButton*> buttons = group_->buttons();
    const int rows = (int(buttons.size()) + columns_ - 1) / columns_;
    for (int i = 0; i < buttons.size(); ++i) {
        grid_->removeWidget(buttons.at(i));
        // Items run down the first column, then the next, as in a radio group.
        grid_->addWidget(buttons.at(i), rows ? i % rows : 0, rows ? i / rows : 0);
    }
}

void DbRadioGroup::setDataSource(db::DataSource* source) { link_->setDataSource(source); }
db::DataSource* DbRadioGroup::dataSource() const { return link_->dataSource(); }
void DbRadioGroup::setDataField(const QString& name) { link_->setDataField(name); }
QString DbRadioGroup::dataField() const { return link_->dataField(); }
db::Field* DbRadioGroup::field() const { return link_->field(); }

QRadioButton* DbRadioGroup::button(int index) const
{
    return qobject_cast<QRadioButton*>(group_->button(index));
}

int DbRadioGroup::itemIndex() const
{
    return group_->checkedId();
}

QString DbRadioGroup::value() const
{
    const int i = itemIndex();
    return i < 0 ? QString() : values_.value(i);
}

void DbRadioGroup::check(int index)
{
    if (index < 0) {
        // An exclusive group keeps one button checked; lift that for a moment.
        group_->setExclusive(false);
        for (QAbstractButton* b : group_->buttons())
            b->setChecked(false);
        group_->setExclusive(true);
        return;
    }
    if (QAbstractButton* b = group_->button(index))
        b->setChecked(true);
}

void DbRadioGroup::setItemIndex(int index)
{
    if (index < 0 || index >= values_.size()) {
        check(-1);
        return;
    }
    check(index);
    if (link_->dataSource() && !link_->dataField().isEmpty()) {
        const QString v = values_.at(index);
        if (!link_->userChange([&](db::Field& f) { f.setText(v); }))
            link_->refresh();
    }
}

void DbRadioGroup::show(db::Field* f)
{
    const QString v = f ? f->asString() : QString();
    check(v.isEmpty() ? -1 : int(values_.indexOf(v)));
}

// --- DbMemo -------------------------------------------------------------------

DbMemo::DbMemo(QWidget* parent) : QPlainTextEdit(parent), link_(new FieldLink(this))
{
    setTabChangesFocus(true);
    link_->onRefresh = [this](db::Field* f) { show(f); };
    link_->onUpdate = [this](db::Field& f) { f.setText(toPlainText()); };
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (showing_)
            return;
        const QString t = toPlainText();
        link_->userChange([&](db::Field& f) { f.setText(t); });
    });
}

void DbMemo::setDataSource(db::DataSource* source) { link_->setDataSource(source); }
db::DataSource* DbMemo::dataSource() const { return link_->dataSource(); }
void DbMemo::setDataField(const QString& name) { link_->setDataField(name); }
QString DbMemo::dataField() const { return link_->dataField(); }
db::Field* DbMemo::field() const { return link_->field(); }

void DbMemo::show(db::Field* f)
{
    const QString t = f ? f->editText() : QString();
    if (t == toPlainText())
        return;
    showing_ = true;
    setPlainText(t);
    showing_ = false;
}

}  // namespace ui
