#pragma once
// Checks a Brazilian taxpayer number by its check digits: a CPF (11 digits, or the form
// 999.999.999-99) or a CNPJ (14 digits, or 99.999.999/9999-99). It only computes: it
// shows nothing and reads nothing. Set Mode, then assign Input and read Result.
#include <QObject>
#include <QString>

class TCheckDoc : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Input READ Input WRITE setInput)
    Q_PROPERTY(TMode Mode READ Mode WRITE setMode)
    Q_PROPERTY(bool Result READ Result WRITE setResult)
public:
    enum TMode { moCPF = 0, moCGC = 1 };
    Q_ENUM(TMode)

    explicit TCheckDoc(QObject* owner = nullptr);

    QString Input() const { return input_; }
    // Stores the text and checks it in the current mode.
    void setInput(const QString& input);
    TMode Mode() const { return mode_; }
    // A different mode checks the stored text again.
    void setMode(TMode mode);
    // True only for a number whose form and both check digits are right.
    bool Result() const { return result_; }
    // The outcome belongs to the last check: writing it changes nothing.
    void setResult(bool) {}

private:
    void check();
    bool CheckCPF() const;
    bool CheckCGC() const;

    QString input_;
    TMode mode_ = moCPF;
    bool result_ = false;
};
