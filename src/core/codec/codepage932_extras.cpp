// The single bytes that Windows decodes and other systems' tables reject, for every OS's conversion.
#include "codepage932.h"

namespace codepage932 {

char16_t singleByteExtra(unsigned char byte)
{
    switch (byte) {
    case 0x80:
        return u'\u0080';
    case 0xA0:
        return u'\uF8F0';
    case 0xFD:
        return u'\uF8F1';
    case 0xFE:
        return u'\uF8F2';
    case 0xFF:
        return u'\uF8F3';
    default:
        return 0;
    }
}

unsigned char singleByteExtraFor(char16_t unit)
{
    switch (unit) {
    case u'\u0080':
        return 0x80;
    case u'\uF8F0':
        return 0xA0;
    case u'\uF8F1':
        return 0xFD;
    case u'\uF8F2':
        return 0xFE;
    case u'\uF8F3':
        return 0xFF;
    default:
        return 0;
    }
}

} // namespace codepage932
