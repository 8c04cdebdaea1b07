#include "widgets/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {
struct Script {
    bool on = false;
    QList<bool> answers;
    QList<Dialogs::Record> records;
};
Script& script()
{
    static Script s;
    return s;
}
QString& appTitle()
{
    static QString t = QStringLiteral("KORVA");
    return t;
}

QWidget* owner(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

void show(QMessageBox::Icon icon, const QString& title, const QString& text, QWidget* parent)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner(parent));
    box.setAccessibleName(title);
    box.setAccessibleDescription(text);
    box.exec();
}
}  // namespace

void Dialogs::message(const QString& text, QWidget* parent)
{
    if (script().on) {
        script().records << Record{Kind::Message, appTitle(), text};
        return;
    }
    show(QMessageBox::NoIcon, appTitle(), text, parent);
}

bool Dialogs::confirm(const QString& text, QWidget* parent, const QString& title)
{
    if (script().on) {
        const bool answer = script().answers.isEmpty() ? false : script().answers.takeFirst();
        script().records << Record{Kind::Confirmation, title, text, answer};
        return answer;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner(parent));
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
    box.setAccessibleName(title);
    box.setAccessibleDescription(text);
    return box.exec() == QMessageBox::Yes;
}

void Dialogs::error(const QString& text, QWidget* parent, const QString& title)
{
    const QString t = title.isEmpty() ? appTitle() : title;
    if (script().on) {
        script().records << Record{Kind::Error, t, text};
        return;
    }
    show(QMessageBox::Critical, t, text, parent);
}

void Dialogs::warning(const QString& text, QWidget* parent)
{
    if (script().on) {
        script().records << Record{Kind::Warning, appTitle(), text};
        return;
    }
    show(QMessageBox::Warning, appTitle(), text, parent);
}

void Dialogs::startScript(const QList<bool>& answers)
{
    script().on = true;
    script().answers = answers;
    script().records.clear();
}

void Dialogs::addAnswers(const QList<bool>& answers)
{
    script().answers << answers;
}

void Dialogs::stopScript()
{
    script() = Script();
}

bool Dialogs::scripted()
{
    return script().on;
}

const QList<Dialogs::Record>& Dialogs::records()
{
    return script().records;
}

QStringList Dialogs::texts()
{
    QStringList out;
    for (const Record& r : script().records)
        out << r.text;
    return out;
}

void Dialogs::clearRecords()
{
    script().records.clear();
}

void Dialogs::setApplicationTitle(const QString& title)
{
    appTitle() = title;
}

QString Dialogs::applicationTitle()
{
    return appTitle();
}

}  // namespace ui
