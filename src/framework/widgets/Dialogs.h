#pragma once
// Every message, confirmation and error box of the program, and every file, folder and
// print dialog, goes through here, so that there is one look and tests can answer the
// questions, choose the files and read every message.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace ui {

class Dialogs {
public:
    enum class Kind { Message, Confirmation, Error, Warning, SaveFile, OpenFile, Folder, Print };

    struct Record {
        Kind kind;
        QString title;         // the box's title, or the file dialog's caption
        QString text;          // the message, or the name or folder a file dialog offered
        bool answer = false;   // confirmations; file, folder and print dialogs: not cancelled
        QString path = {};     // file, folder and print dialogs: the path chosen
    };

    // A plain message box with the application's title.
    static void message(const QString& text, QWidget* parent = nullptr);
    // "Confirmação", question icon, Yes and No, No the default. True for Yes.
    static bool confirm(const QString& text, QWidget* parent = nullptr, const QString& title = QStringLiteral("Confirmação"));
    // The application's standard error box; a window's own error box gives its title.
    static void error(const QString& text, QWidget* parent = nullptr, const QString& title = {});
    static void warning(const QString& text, QWidget* parent = nullptr);

    // The folder a file or folder dialog starts in when it is given none (a bare file
    // name, or no folder): the program's data folder, set at start-up. Empty: Qt's choice.
    static void setStartFolder(const QString& folder);
    static QString startFolder();

    // The file and folder dialogs: the path chosen, empty when the user cancelled.
    static QString saveFileName(const QString& caption, const QString& suggested, const QString& filter,
                                QWidget* parent = nullptr);
    static QString openFileName(const QString& caption, const QString& folder, const QString& filter,
                                QWidget* parent = nullptr);
    static QString folderName(const QString& caption, const QString& start, QWidget* parent = nullptr);
    // The print dialog, which lives with its printer: show runs it and says whether the
    // user accepted. Scripted, the next scripted path answers instead: empty cancels, a
    // path accepts and is handed to toFile, so that the pages go to that file.
    static bool print(const QString& caption, const std::function<bool()>& show,
                      const std::function<void(const QString& path)>& toFile);

    // Scripting for tests: while a script is set, nothing is shown; every box is
    // recorded, each confirmation takes the next answer (No when none is left), and each
    // file, folder or print dialog the next path (cancelled when none is left).
    static void startScript(const QList<bool>& answers = {});
    static void addAnswers(const QList<bool>& answers);
    static void addPaths(const QStringList& paths);
    static void stopScript();
    static bool scripted();
    // Called with each box, file, folder or print dialog as it is recorded, while the
    // window that asked still stands as it was when it asked; empty: none.
    static void whenRecorded(const std::function<void(const Record&)>& observer);
    static const QList<Record>& records();
    static QStringList texts();  // texts of every message, question and error box recorded
    static void clearRecords();

    // The title of message and error boxes.
    static void setApplicationTitle(const QString& title);
    static QString applicationTitle();
};

// While one lives, an error box whose text was already shown in its lifetime is not
// shown (nor recorded) again: the later steps of one start-up that fail the same way
// stay silent.
class QuietRepeats {
public:
    QuietRepeats();
    ~QuietRepeats();
    QuietRepeats(const QuietRepeats&) = delete;
    QuietRepeats& operator=(const QuietRepeats&) = delete;

private:
    QuietRepeats* outer_;
    QStringList shown_;
    friend class Dialogs;
};

}  // namespace ui
