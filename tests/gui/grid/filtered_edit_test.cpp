// Typing and pasting into filtered edits: the class byte decides what lands in the text.
#include <QApplication>
#include <QClipboard>
#include <QtTest>

#include "forms/FilteredLineEdit.h"
#include "forms/SpinEdit.h"

using velora::forms::CharClass;
using velora::gui::FilteredLineEdit;

class FilteredEditTest : public QObject {
    Q_OBJECT
    static void type(FilteredLineEdit& e, const QString& keys) {
        for (QChar c : keys)
            QTest::keyClick(&e, c.toLatin1());
    }

  private slots:
    void decimalTakesOnePointAsTheLocalesPoint() {
        FilteredLineEdit e;
        e.setCharClass(CharClass::Decimal);
        e.setDecimalPoint(',');
        e.show();
        type(e, "12.5.x3");
        QCOMPARE(e.text(), QString("12,53"));
        e.setSelection(2, 1); // the point selected: another one may replace it
        type(e, ".");
        QCOMPARE(e.text(), QString("12,53"));
        QTest::keyClick(&e, Qt::Key_End);
        QTest::keyClick(&e, Qt::Key_Backspace);
        QCOMPARE(e.text(), QString("12,5"));
    }

    void nameClassTypesCapitals() {
        FilteredLineEdit e;
        e.setCharClass(CharClass::Name);
        e.setLimit(6);
        e.show();
        type(e, "ab!c d?e");
        QCOMPARE(e.text(), QString("ABC DE"));
        QVERIFY(e.isModified());
    }

    void digitsOrAKeepsTheLetterAlone() {
        FilteredLineEdit e;
        e.setCharClass(CharClass::DigitsOrA);
        e.show();
        type(e, "12a");
        QCOMPARE(e.text(), QString("12"));
        e.selectAll();
        type(e, "a3");
        QCOMPARE(e.text(), QString("A"));
    }

    void pasteIsFilteredToo() {
        FilteredLineEdit e;
        e.setCharClass(CharClass::Digits);
        e.setLimit(4);
        e.show();
        QApplication::clipboard()->setText("1a2b3c4d5");
        QTest::keySequence(&e, QKeySequence::Paste);
        QCOMPARE(e.text(), QString("1234"));
        e.clear();
        e.insertFiltered(QStringLiteral("x9y"));
        QCOMPARE(e.text(), QString("9"));
    }

    void theLimitHoldsTypingButNotShownText() {
        FilteredLineEdit e;
        e.setCharClass(CharClass::DigitsOrC);
        e.setLimit(2);
        e.show();
        e.setText("Cont."); // a special value's text is shown whole
        QCOMPARE(e.text(), QString("Cont."));
        e.selectAll();
        type(e, "123");
        QCOMPARE(e.text(), QString("12"));
    }

    void spinButtonsOnlyTellTheDirection() {
        velora::gui::SpinEdit s;
        s.edit()->setText("7");
        QList<int> steps;
        connect(&s, &velora::gui::SpinEdit::stepRequested, this, [&](int d) { steps << d; });
        s.show();
        QTest::mouseClick(reinterpret_cast<QWidget*>(s.buttons()->upButton()), Qt::LeftButton);
        QTest::mouseClick(reinterpret_cast<QWidget*>(s.buttons()->downButton()), Qt::LeftButton);
        QCOMPARE(steps, (QList<int>{+1, -1}));
        QCOMPARE(s.edit()->text(), QString("7")); // no arithmetic of its own
    }
};

QTEST_MAIN(FilteredEditTest)
#include "filtered_edit_test.moc"
