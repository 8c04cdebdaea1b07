#include "tracking/rules/TCheckDoc.h"


#include <QList>

namespace {

// The digits of text taken from the given 1-based ranges; empty when a character there
// is not a decimal digit.
QList<int> digitos(const QString& text, std::initializer_list<std::pair<int, int>> ranges)
{
    QList<int> out;
    for (const auto& [from, to] : ranges)
        for (int p = from; p <= to; ++p) {
            const QChar c = text.at(p - 1);
            if (c < u'0' || c > u'9')
                return {};
            out << c.digitValue();
        }
    return out;
}

// 11 - (sum mod 11), 0 when above 9.
int digitoVerificador(int soma)
{
    const int d = 11 - soma % 11;
    return d > 9 ? 0 : d;
}

}  // namespace

TCheckDoc::TCheckDoc(QObject* owner) : QObject(owner) {}

void TCheckDoc::setInput(const QString& input)
{
    input_ = input;
    check();
}

void TCheckDoc::setMode(TMode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    check();
}

void TCheckDoc::check()
{
    result_ = mode_ == moCPF ? CheckCPF() : CheckCGC();
}

bool TCheckDoc::CheckCPF() const
{
    const QString& s = input_;
    QList<int> d;
    if (s.size() == 14 && s.at(3) == u'.' && s.at(7) == u'.' && s.at(11) == u'-')
        d = digitos(s, {{1, 3}, {5, 7}, {9, 11}, {13, 14}});
    else if (s.size() == 11)
        d = digitos(s, {{1, 11}});
    if (d.size() != 11)
        return false;
    int s1 = 0;
    for (int p = 1; p <= 9; ++p)
        s1 += d[p - 1] * (11 - p);
    int s2 = 0;
    for (int p = 1; p <= 10; ++p)
        s2 += d[p - 1] * (12 - p);
    return digitoVerificador(s1) == d[9] && digitoVerificador(s2) == d[10];
}

bool TCheckDoc::CheckCGC() const
{
    const QString& s = input_;
    QList<int> d;
    if (s.size() == 18 && s.at(2) == u'.' && s.at(6) == u'.' && s.at(10) == u'/' && s.at(15) == u'-')
        d = digitos(s, {{1, 2}, {4, 6}, {8, 10}, {12, 15}, {17, 18}});
    else if (s.size() == 14)
        d = digitos(s, {{1, 14}});
    if (d.size() != 14)
        return false;
    int s1 = 0;
    for (int p = 1; p <= 4; ++p)
        s1 += d[p - 1] * (6 - p);
    for (int p = 5; p <= 12; ++p)
        s1 += d[p - 1] * (14 - p);
    int s2 = 0;
    for (int p = 1; p <= 5; ++p)
        s2 += d[p - 1] * (7 - p);
    for (int p = 6; p <= 13; ++p)
        s2 += d[p - 1] * (15 - p);
    return digitoVerificador(s1) == d[12] && digitoVerificador(s2) == d[13];
}
