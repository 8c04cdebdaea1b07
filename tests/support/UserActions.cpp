#include "support/UserActions.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

namespace support {

void chooseEntry(QComboBox* combo, int row)
{
    combo->showPopup();
    QAbstractItemView* v = combo->view();
    v->setCurrentIndex(combo->model()->index(row, combo->modelColumn()));
    QTest::keyClick(v, Qt::Key_Return);
}

void chooseEntry(QComboBox* combo, const QString& text)
{
    const int row = combo->findText(text);
    QVERIFY2(row >= 0, qPrintable(text));
    chooseEntry(combo, row);
}

}  // namespace support
