// Field splitting, the two number rules and style strings: tables of text in, value out.
#include "session/get_field.h"
#include "session/number_rules.h"
#include "session/style_strings.h"

#include <QtTest>

#include <optional>

class TextRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void getField_data();
    void getField();
    void freqByNumericPrefix_data();
    void freqByNumericPrefix();
    void strictIntegerRule_data();
    void strictIntegerRule();
    void styleStrings_data();
    void styleStrings();
};

void TextRulesTest::getField_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("separator");
    QTest::addColumn<QString>("field");

    QTest::newRow("middle") << 2 << "a:b:c" << 58 << "b";
    QTest::newRow("beyond the last") << 3 << "a:b" << 58 << "";
    QTest::newRow("no separator") << 1 << "abc" << 58 << "abc";
    QTest::newRow("leading separator") << 1 << ":abc" << 58 << "";
    QTest::newRow("after leading separator") << 2 << ":abc" << 58 << "abc";
    QTest::newRow("trailing separator") << 2 << "a:" << 58 << "";
    QTest::newRow("adjacent separators") << 2 << "a::c" << 58 << "";
    QTest::newRow("after adjacent") << 3 << "a::c" << 58 << "c";
    QTest::newRow("field 0") << 0 << "a:b" << 58 << "";
    QTest::newRow("negative field") << -1 << "a:b" << 58 << "";
    QTest::newRow("empty text, field 1") << 1 << "" << 58 << "";
    QTest::newRow("empty text, field 2") << 2 << "" << 58 << "";
    QTest::newRow("last runs to the end") << 3 << "MSG:a:b c\r" << 58 << "b c\r";
    QTest::newRow("tilde") << 3 << "107~222~90~0~0" << 126 << "90";
    QTest::newRow("other separator ignored") << 1 << "a:b~c" << 126 << "a:b";
    QTest::newRow("fifth of three") << 5 << "1~2~3" << 126 << "";
}

void TextRulesTest::getField()
{
    QFETCH(int, n);
    QFETCH(QString, text);
    QFETCH(int, separator);
    QFETCH(QString, field);
    QCOMPARE(GetField(static_cast<qint16>(n), text, separator), field);
}

// A freq from the server: the numeric-prefix rule, rounded half to even, clamped.
void TextRulesTest::freqByNumericPrefix_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("freq");

    QTest::newRow("plain") << "7" << 7;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("letters after digits") << "12abc" << 12;
    QTest::newRow("blanks inside") << " 1 2\t3\n" << 123;
    QTest::newRow("blank between sign and digits") << "- 4" << -4;
    QTest::newRow("half up to even") << "7.5" << 8;
    QTest::newRow("half down to even") << "8.5" << 8;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("above half") << "2.51" << 3;
    QTest::newRow("fraction only") << ".6" << 1;
    QTest::newRow("point alone") << "." << 0;
    QTest::newRow("plus sign") << "+9" << 9;
    QTest::newRow("sign alone") << "-" << 0;
    QTest::newRow("exponent") << "1e3" << 1000;
    QTest::newRow("negative exponent") << "25E-1" << 2;
    QTest::newRow("exponent without digits") << "5e" << 5;
    QTest::newRow("exponent with blank") << "1 e 2" << 100;
    QTest::newRow("second number ignored") << "3.2.5" << 3;
    QTest::newRow("comma is not a point") << "3,7" << 3;
    QTest::newRow("hex is not read") << "0x10" << 0;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("smallest") << "-32768" << -32768;
    QTest::newRow("just above") << "32767.5" << 32767;
    QTest::newRow("huge clamps") << "99999" << 32767;
    QTest::newRow("huge negative clamps") << "-99999" << -32768;
    QTest::newRow("beyond double") << "1e400" << 32767;
    QTest::newRow("beyond double, negative") << "-1e400" << -32768;
    QTest::newRow("many digits") << QString(400, u'9') << 32767;
}

void TextRulesTest::freqByNumericPrefix()
{
    QFETCH(QString, text);
    QFETCH(int, freq);
    QCOMPARE(int(clampToInt16(numericPrefixValue(text))), freq);
}

// An icon number from the server: the whole text must be one number.
void TextRulesTest::strictIntegerRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("digit") << "3" << true << 3;
    QTest::newRow("signed") << "-2" << true << -2;
    QTest::newRow("fraction rounds") << "2.5" << true << 2;
    QTest::newRow("fraction rounds up") << "3.5" << true << 4;
    QTest::newRow("exponent") << "1e1" << true << 10;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "x" << false << 0;
    QTest::newRow("trailing letters") << "3x" << false << 0;
    QTest::newRow("leading blank") << " 3" << false << 0;
    QTest::newRow("trailing blank") << "3 " << false << 0;
    QTest::newRow("trailing CR") << "3\r" << false << 0;
    QTest::newRow("out of range") << "40000" << false << 0;
    QTest::newRow("beyond double") << "1e400" << false << 0;
}

void TextRulesTest::strictIntegerRule()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<double> number = strictNumberValue(text);
    const std::optional<qint16> rounded = number ? roundToInt16(*number) : std::nullopt;
    QCOMPARE(rounded.has_value(), valid);
    if (valid)
        QCOMPARE(int(*rounded), value);
}

void TextRulesTest::styleStrings_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QList<int>>("values");

    QTest::newRow("green") << QString::fromLatin1(Style::kGreen) << QList<int>{107, 222, 90, 0, 0};
    QTest::newRow("lilac") << QString::fromLatin1(Style::kLilac) << QList<int>{181, 181, 255, 0, 0};
    QTest::newRow("red") << QString::fromLatin1(Style::kRed) << QList<int>{222, 49, 8, 0, 0};
    QTest::newRow("amber") << QString::fromLatin1(Style::kAmber) << QList<int>{255, 189, 41, 0, 0};
    QTest::newRow("three numbers") << "1~2~3" << QList<int>{1, 2, 3, 0, 0};
    QTest::newRow("bold and italic") << "0~0~0~1~7" << QList<int>{0, 0, 0, 1, 7};
    QTest::newRow("not numbers") << "a~~b~~" << QList<int>{0, 0, 0, 0, 0};
}

void TextRulesTest::styleStrings()
{
    QFETCH(QString, style);
    QFETCH(QList<int>, values);
    const StyleValues look = parseStyle(style);
    QCOMPARE((QList<int>{look.red, look.green, look.blue, look.bold, look.italic}), values);
}

QTEST_GUILESS_MAIN(TextRulesTest)
#include "tst_text_rules.moc"
