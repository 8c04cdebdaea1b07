#pragma once
// Every message, confirmation and error box of the program goes through here, so that
// there is one look and tests can answer the questions and read every message.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace ui {

class Dialogs {
public:
    enum class Kind { Message, Confirmation, Error, Warning };

    struct Record {
        Kind kind;
        QString title;
        QString text;
        bool answer = false;  // for confirmations
    };

    // A plain message box with the application's title.
    static void message(const QString& text, QWidget* parent = nullptr);
    // "Confirmação", question icon, Yes and No, No the default. True for Yes.
    static bool confirm(const QString& text, QWidget* parent = nullptr, const QString& title = QStringLiteral("Confirmação"));
    // The application's standard error box; a window's own error box gives its title.
    static void error(const QString& text, QWidget* parent = nullptr, const QString& title = {});
    static void warning(const QString& text, QWidget* parent = nullptr);

    // Scripting for tests: while a script is set, nothing is shown; every box is
    // recorded, and each confirmation takes the next answer (No when none is left).
    static void startScript(const QList<bool>& answers = {});
    static void addAnswers(const QList<bool>& answers);
    static void stopScript();
    static bool scripted();
    static const QList<Record>& records();
    static QStringList texts();  // texts of every box shown since the script started
    static void clearRecords();

    // The title of message and error boxes.
    static void setApplicationTitle(const QString& title);
    static QString applicationTitle();
};

}  // namespace ui
