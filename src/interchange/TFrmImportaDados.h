#pragma once
// "Importa Dados": a state installation loads the interchange files its municipalities
// sent, from a folder chosen in a tree, each ticked file replacing the months it carries.
#include "widgets/FormWindow.h"

class QAction;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QToolBar;
class QTreeView;

namespace ui {
class CheckList;
class StatusBar;
}  // namespace ui

class TFrmImportaDados : public ui::FormWindow {
    Q_OBJECT
public:
    explicit TFrmImportaDados(QWidget* owner = nullptr);
    ~TFrmImportaDados() override;

    QToolBar* ToolBar1;
    QAction* BbtSair;
    QAction* BbtImporta;
    QLabel* Label1;  // "Localização dos arquivos :"
    QLabel* LblDir;
    QTreeView* DirectoryListBox1;
    QComboBox* DriveComboBox1;  // only where the platform has drives; null elsewhere
    QLabel* Label2;  // "Selecione os arquivos a serem importados :"
    ui::CheckList* CheckArquivos;
    // Why the list is empty, when it is: the installation has no UF, or the folder holds
    // no file of it. Hidden while files are offered.
    QLabel* LblAviso;
    ui::StatusBar* StatusBar1;

    // The folder the tree shows.
    QString pastaAtual() const { return pasta_; }
    // Moves the tree to a folder as a user's click does; false when it does not exist.
    bool mudaPasta(const QString& pasta);

    virtual void FormCreate();
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyPress(int& key) override;
    virtual void DirectoryListBox1Change();
    virtual void CheckArquivosClick();
    virtual void BbtImportaClick();
    virtual void BbtSairClick();

private:
    // Brings the current folder into view in the tree.
    void mostraPasta();
    QFileSystemModel* pastas_;
    QString pasta_;
    QString uf_;  // the files offered are this UF's
};
