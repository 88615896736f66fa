#include "codepage932.h"
#include "codepage932_cases.h"
#include "textcodec.h"

#include <QTest>

using faces::Detection;
using namespace Qt::StringLiterals;

class TestTextCodec : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void sharedEncodeCases();
    void everyCodePage932CharacterRoundTrips();
};

void TestTextCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("detection");
    QTest::addColumn<QString>("expected");
    const int strict = int(Detection::Strict);
    const int any = int(Detection::AnyText);

    for (const cases::Decode& c : cases::kDecode)
        QTest::newRow(c.name) << QByteArray(c.bytes.data(), qsizetype(c.bytes.size())) << strict
                              << QString::fromUtf16(c.text.data(), qsizetype(c.text.size()));
    QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF\xC2\xAF\\_") << strict << QString::fromUtf16(u"\u00AF\\_");
    QTest::newRow("UTF-16LE BOM") << QByteArray("\xFF\xFE\x61\x00\x42\x30", 6) << strict << u"aあ"_s;
    QTest::newRow("UTF-16BE BOM") << QByteArray("\xFE\xFF\x00\x61\x30\x42", 6) << strict << u"aあ"_s;
    QTest::newRow("UTF-16 odd byte at end")
        << QByteArray("\xFF\xFE\x61\x00\x62", 5) << strict << QString::fromUtf16(u"a\uFFFD");
    QTest::newRow("UTF-16 lone surrogates")
        << QByteArray("\xFE\xFF\xD8\x3D\x00\x61\xDE\x00", 8) << strict << QString::fromUtf16(u"\uFFFDa\uFFFD");
    QTest::newRow("UTF-16 surrogate pair")
        << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6) << strict << QString::fromUtf16(u"\U0001F600");
    QTest::newRow("UTF-8 text starting with U+FEFF") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                                   "a")
                                                     << strict << QChar(0xFEFF) + u"a"_s;
    QTest::newRow("UTF-16 text starting with U+FEFF")
        << QByteArray("\xFF\xFE\xFF\xFE\x61\x00", 6) << strict << QChar(0xFEFF) + u"a"_s;
    QTest::newRow("BOM only") << QByteArray("\xEF\xBB\xBF") << strict << QString();
    QTest::newRow("strict reads BOM-less UTF-8 as code page 932")
        << QByteArray("\xE3\x81\x82") << strict << QString::fromUtf16(u"\u7E3A\uFFFD");
    QTest::newRow("import reads BOM-less UTF-8 as UTF-8") << QByteArray("\xE3\x81\x82") << any << u"あ"_s;
    QTest::newRow("import reads invalid UTF-8 as code page 932")
        << QByteArray("\x82\xA0\xB1") << any << QString::fromUtf16(u"あ\uFF71");
    QTest::newRow("import reads ASCII") << QByteArray("abc") << any << u"abc"_s;
}

void TestTextCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, detection);
    QFETCH(QString, expected);
    QCOMPARE(faces::decodeText(bytes, Detection(detection)), expected);
}

void TestTextCodec::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("half-width katakana stays code page 932") << u"ﾉｼ"_s << QByteArray("\xC9\xBC");
    QTest::newRow("shrug needs UTF-8") << QString::fromUtf16(u"\u00AF\\_(ツ)_/\u00AF")
                                       << QByteArray("\xEF\xBB\xBF\xC2\xAF\\_(\xE3\x83\x84)_/\xC2\xAF");
    QTest::newRow("wave dash would come back as another character")
        << QString::fromUtf16(u"\u301C") << QByteArray("\xEF\xBB\xBF\xE3\x80\x9C");
    QTest::newRow("private use that would read as a UTF-16 mark")
        << QString::fromUtf16(u"\uF8F3\uF8F2") << QByteArray("\xEF\xBB\xBF\xEF\xA3\xB3\xEF\xA3\xB2");
}

void TestTextCodec::sharedEncodeCases()
{
    for (const cases::Encode& c : cases::kEncode) {
        const auto bytes = codepage932::encode(c.text);
        const bool survives = bytes && codepage932::decode(*bytes) == c.text;
        QVERIFY2(survives == c.representable, c.name);
        if (c.representable)
            QVERIFY2(*bytes == c.bytes, c.name);
    }
}

void TestTextCodec::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    const QByteArray bytes = faces::encodeText(text);
    QCOMPARE(bytes, expected);
    QCOMPARE(faces::decodeText(bytes), text);
}

void TestTextCodec::everyCodePage932CharacterRoundTrips()
{
    // Every double-byte code that decodes to a character must encode back to a code that
    // decodes to the same character (the table has a few duplicates, like NEC and IBM copies).
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!codepage932::isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char bytes[] = { static_cast<char>(lead), static_cast<char>(trail) };
            const std::u16string text = codepage932::decode(std::string_view(bytes, 2));
            if (text.size() != 1 || text[0] == u'\uFFFD')
                continue;
            ++characters;
            const auto encoded = codepage932::encode(text);
            QVERIFY2(encoded, qPrintable(QString::number(lead * 256 + trail, 16)));
            QVERIFY(codepage932::decode(*encoded) == text);
        }
    }
    QVERIFY(characters > 9000);
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
