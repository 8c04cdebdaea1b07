#pragma once
// Backups of the installation's database in the engine's own format (gbak's), made and
// read through the Firebird service manager: consistent while the program works on the
// database, portable between machines. A backup is written under a temporary name and
// takes its name only when complete; a restore writes a new database, validates it and
// only then puts it in place.
#include "rules/Falha.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace copia {

// One backup in the backups' folder.
struct Copia {
    QString arquivo;  // its path
    QDateTime data;   // when it was completed
    qint64 tamanho = 0;
};

// A file's size as the copies' list shows it: "734,2 KB", "12,5 MB".
QString textoTamanho(qint64 bytes);

// The name of a backup made at quando: "KORVA-yyyymmdd-hhmm.fbk".
QString nomeArquivo(const QDateTime& quando);
// Where a backup made now goes by default: <data folder>/copias/KORVA-yyyymmdd-hhmm.fbk
// (with the seconds when a copy of the same minute is there).
QString arquivoPadrao(const QDateTime& agora = QDateTime::currentDateTime());
// The backups in folder (the installation's backups folder when empty), the newest
// first. Files named otherwise, and the partial files of backups under way or killed,
// are not backups.
QList<Copia> copias(const QString& pasta = {});

// Told the bytes written so far; false stops the backup.
using Progresso = std::function<bool(qint64 bytes)>;

// Backs the database up (the installation's when banco is empty) into arquivo, which
// is replaced only once the new backup is complete; the folder is created when
// missing. Partial files that earlier backups killed left in that folder go first. On
// failure or when progresso stopped it, nothing is left of it and an existing arquivo
// is as it was.
rules::Resultado<Copia> fazCopia(const QString& arquivo, const Progresso& progresso = {}, const QString& banco = {});

// Whether the end of a run makes a copy: the automatic copy is on (KORVA_COPIAS is not
// 0) and the newest backup of the backups' folder is older than a day, or there is none.
bool copiaAutomaticaDevida(const QDateTime& agora = QDateTime::currentDateTime());
// Deletes the backups of the backups' folder but the newest `manter`; returns the files
// deleted and, in *recusadas, those that could not be.
QStringList descartaAntigas(int manter, QStringList* recusadas = nullptr);

// What the end of a run did.
struct Automatica {
    bool feita = false;       // a copy was due and was made
    Copia copia;              // the copy made
    QStringList apagadas;     // the older copies deleted
    QStringList recusadas;    // older copies that could not be deleted
    rules::Falhou falha;      // the copy was due and failed (nothing deleted)
};
// At the end of a run: when copiaAutomaticaDevida, a copy to arquivoPadrao(), then the
// newest copiesToKeep() kept and the older ones deleted.
Automatica copiaAutomatica(const Progresso& progresso = {}, const QDateTime& agora = QDateTime::currentDateTime());

// Restores the backup arquivo into banco (the installation's database when empty): a new
// database under a temporary name beside it, restored, validated and checked to be
// KORVA's, then renamed over banco. An existing banco is replaced only with substituir,
// and never while a program has it open. A truncated, damaged or foreign file is
// refused, and nothing is changed. continuar is asked before each block of the file is
// read; false stops the restore, and nothing is changed.
rules::Falhou restaura(const QString& arquivo, const QString& banco, bool substituir,
                       const std::function<bool()>& continuar = {});

}  // namespace copia
