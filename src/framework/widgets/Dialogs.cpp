#include "widgets/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace ui {

namespace {
struct Script {
    bool on = false;
    QList<bool> answers;
    QStringList paths;
    QList<Dialogs::Record> records;
    std::function<void(const Dialogs::Record&)> observer;
};
Script& script()
{
    static Script s;
    return s;
}
// Records a scripted box or dialog and tells the observer.
void record(const Dialogs::Record& r)
{
    script().records << r;
    if (script().observer)
        script().observer(r);
}

QString& startFolderSlot()
{
    static QString folder;
    return folder;
}

// A bare or relative name offered by a dialog, placed in the start folder.
QString inStartFolder(const QString& name)
{
    if (startFolderSlot().isEmpty() || !QDir::isRelativePath(name))
        return name;
    return QDir(startFolderSlot()).filePath(name);
}

QuietRepeats*& quiet()
{
    static QuietRepeats* q = nullptr;
    return q;
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

// Runs a box; once it closes, the window under it has the keyboard again, on the control
// that had it: not every window system gives the activation back by itself, and a window
// without it takes no F-key until a click.
int execGivingBack(QDialog& box)
{
    const QPointer<QWidget> opener = box.parentWidget() ? box.parentWidget()->window() : nullptr;
    const QPointer<QWidget> focused = opener ? opener->focusWidget() : nullptr;
    const int answer = box.exec();
    if (opener && opener->isVisible()) {
        opener->activateWindow();
        if (focused && focused->isEnabled())
            focused->setFocus(Qt::ActiveWindowFocusReason);
    }
    return answer;
}

void show(QMessageBox::Icon icon, const QString& title, const QString& text, QWidget* parent)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner(parent));
    box.setAccessibleName(title);
    box.setAccessibleDescription(text);
    execGivingBack(box);
}

// A scripted file, folder or print dialog: the next scripted path, recorded.
QString scriptedPath(Dialogs::Kind kind, const QString& caption, const QString& offered)
{
    const QString path = script().paths.isEmpty() ? QString() : script().paths.takeFirst();
    record(Dialogs::Record{kind, caption, offered, !path.isEmpty(), path});
    return path;
}

bool isBox(Dialogs::Kind kind)
{
    switch (kind) {
    case Dialogs::Kind::Message:
    case Dialogs::Kind::Confirmation:
    case Dialogs::Kind::Error:
    case Dialogs::Kind::Warning:
        return true;
    default:
        return false;
    }
}
}  // namespace

void Dialogs::message(const QString& text, QWidget* parent)
{
    if (script().on) {
        record(Record{Kind::Message, appTitle(), text});
        return;
    }
    show(QMessageBox::NoIcon, appTitle(), text, parent);
}

bool Dialogs::confirm(const QString& text, QWidget* parent, const QString& title)
{
    if (script().on) {
        const bool answer = script().answers.isEmpty() ? false : script().answers.takeFirst();
        record(Record{Kind::Confirmation, title, text, answer});
        return answer;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner(parent));
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
    box.setAccessibleName(title);
    box.setAccessibleDescription(text);
    return execGivingBack(box) == QMessageBox::Yes;
}

void Dialogs::error(const QString& text, QWidget* parent, const QString& title)
{
    const QString t = title.isEmpty() ? appTitle() : title;
    if (QuietRepeats* q = quiet()) {
        if (q->shown_.contains(text))
            return;
        q->shown_ << text;
    }
    if (script().on) {
        record(Record{Kind::Error, t, text});
        return;
    }
    show(QMessageBox::Critical, t, text, parent);
}

void Dialogs::warning(const QString& text, QWidget* parent)
{
    if (script().on) {
        record(Record{Kind::Warning, appTitle(), text});
        return;
    }
    show(QMessageBox::Warning, appTitle(), text, parent);
}

void Dialogs::setStartFolder(const QString& folder)
{
    startFolderSlot() = folder;
}

QString Dialogs::startFolder()
{
    return startFolderSlot();
}

namespace {

// The file list's sizes and dates in the program's format, whatever the machine's
// locale: Qt's own list writes them in the system's.
class DatasNoFormatoDoPrograma final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* arquivos = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !arquivos)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex origem = mapToSource(index);
        if (index.column() == 1 && !arquivos->isDir(origem))
            return QLocale(QLocale::Portuguese, QLocale::Brazil).formattedDataSize(arquivos->size(origem));
        if (index.column() == 3) {
            const QDateTime quando = arquivos->lastModified(origem);
            if (quando.isValid())
                return quando.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// Qt's own dialog, wholly in the program's language and formats; the path chosen, or
// empty when cancelled.
QString escolhe(QFileDialog& dialogo)
{
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.setProxyModel(new DatasNoFormatoDoPrograma(&dialogo));
    // Wide enough for every column of the detailed list, the name taking what is left.
    if (auto* lista = dialogo.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* colunas = lista->header();
        colunas->setStretchLastSection(false);
        for (int c = 0; c < colunas->count(); ++c)
            colunas->setSectionResizeMode(c, c == 0 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    dialogo.resize(std::max(dialogo.width(), 820), std::max(dialogo.height(), 480));
    if (execGivingBack(dialogo) != QDialog::Accepted)
        return QString();
    const QStringList escolhidos = dialogo.selectedFiles();
    return escolhidos.value(0);
}

}  // namespace

QString Dialogs::saveFileName(const QString& caption, const QString& suggested, const QString& filter, QWidget* parent)
{
    const QString offered = inStartFolder(suggested);
    if (script().on)
        return scriptedPath(Kind::SaveFile, caption, offered);
    QFileDialog dialogo(owner(parent), caption, offered, filter);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    return escolhe(dialogo);
}

QString Dialogs::openFileName(const QString& caption, const QString& folder, const QString& filter, QWidget* parent)
{
    const QString start = folder.isEmpty() ? startFolder() : folder;
    if (script().on)
        return scriptedPath(Kind::OpenFile, caption, start);
    QFileDialog dialogo(owner(parent), caption, start, filter);
    dialogo.setFileMode(QFileDialog::ExistingFile);
    return escolhe(dialogo);
}

QString Dialogs::folderName(const QString& caption, const QString& start, QWidget* parent)
{
    const QString from = start.isEmpty() ? startFolder() : start;
    if (script().on)
        return scriptedPath(Kind::Folder, caption, from);
    QFileDialog dialogo(owner(parent), caption, from);
    dialogo.setFileMode(QFileDialog::Directory);
    dialogo.setOption(QFileDialog::ShowDirsOnly);
    return escolhe(dialogo);
}

bool Dialogs::print(const QString& caption, const std::function<bool()>& show,
                    const std::function<void(const QString& path)>& toFile)
{
    if (!script().on)
        return show();
    const QString path = scriptedPath(Kind::Print, caption, QString());
    if (path.isEmpty())
        return false;
    toFile(path);
    return true;
}

void Dialogs::startScript(const QList<bool>& answers)
{
    script().on = true;
    script().answers = answers;
    script().paths.clear();
    script().records.clear();
}

void Dialogs::addAnswers(const QList<bool>& answers)
{
    script().answers << answers;
}

void Dialogs::addPaths(const QStringList& paths)
{
    script().paths << paths;
}

void Dialogs::whenRecorded(const std::function<void(const Record&)>& observer)
{
    script().observer = observer;
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
        if (isBox(r.kind))
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

QuietRepeats::QuietRepeats() : outer_(quiet())
{
    quiet() = this;
}

QuietRepeats::~QuietRepeats()
{
    quiet() = outer_;
}

}  // namespace ui
