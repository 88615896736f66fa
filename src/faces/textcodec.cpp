#include "textcodec.h"

#include "codepage932.h"

#include <QStringDecoder>

namespace faces {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// The caller strips the one byte order mark that marks the encoding; a second U+FEFF after it is
// text and is kept (Qt's decoders would drop it).
constexpr auto kKeepBom = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

QString fromUtf8(QByteArrayView bytes)
{
    return QStringDecoder(QStringDecoder::Utf8, kKeepBom).decode(bytes);
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

QString fromUtf16(QByteArrayView bytes, QStringDecoder::Encoding encoding)
{
    QStringDecoder decoder(encoding, kKeepBom);
    QString text = decoder.decode(bytes);
    // A surrogate without its partner is no character: no encoding could write it back.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    if (bytes.size() % 2 != 0 && !text.endsWith(QChar::ReplacementCharacter))
        text += QChar::ReplacementCharacter; // a dangling half unit is damage, not silence
    return text;
}

QString fromCodePage932(QByteArrayView bytes)
{
    // Every character, of one byte or two, is one unit: the text is never longer than the bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    text.resize(qsizetype(codepage932::decode(
        std::string_view(bytes.data(), size_t(bytes.size())), reinterpret_cast<char16_t*>(text.data()))));
    return text;
}

} // namespace

QString decodeText(QByteArrayView bytes, Detection detection)
{
    if (bytes.startsWith(QByteArrayView(kUtf8Bom, 3)))
        return fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return fromUtf16(bytes.sliced(2), QStringDecoder::Utf16LE);
    if (bytes.startsWith("\xFE\xFF"))
        return fromUtf16(bytes.sliced(2), QStringDecoder::Utf16BE);
    if (detection == Detection::AnyText && !isAscii(bytes) && isValidUtf8(bytes))
        return fromUtf8(bytes);
    return fromCodePage932(bytes);
}

QByteArray encodeText(QStringView text)
{
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
    if (const auto encoded = codepage932::encode(units); encoded && codepage932::decode(*encoded) == units) {
        const QByteArray bytes(encoded->data(), static_cast<qsizetype>(encoded->size()));
        // Private-use characters can encode to bytes that a reader would take for a UTF-16 mark.
        if (!bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF"))
            return bytes;
    }
    return QByteArray(kUtf8Bom, 3) + text.toUtf8();
}

} // namespace faces
