#include "pages/home/WirlessSecurityRules.h"

namespace SecurityRules {

namespace {

constexpr int kHexLengths[] = {10, 26, 32};
constexpr int kAsciiLengths[] = {5, 13, 16};
const char* const kPositions[] = {"1st", "2nd", "3rd", "4th"};

} // namespace

int KeyLength(int keyType, int keySize)
{
    if (keySize < 0 || keySize > 2 || keyType < 0 || keyType > 1)
        return 0;
    return keyType == 0 ? kHexLengths[keySize] : kAsciiLengths[keySize];
}

int KeySizeOfHexLength(int length)
{
    for (int size = 0; size < 3; ++size)
        if (kHexLengths[size] == length)
            return size;
    return -1;
}

Kind KindOf(int authRow)
{
    switch (authRow) {
    case 0: case 1: case 2: return Kind::Wep;
    case 3: return Kind::Dot1x;
    case 4: case 6: case 8: return Kind::Eap;
    case 5: case 7: case 9: return Kind::Psk;
    default: return Kind::None;
    }
}

QString PskCiphers(bool supportFlag, const QString& shownMode)
{
    if (supportFlag && shownMode == "WDS with AP")
        return "Auto AES";
    if (supportFlag && shownMode == "WDS")
        return "AES";
    return "Auto AES TKIP";
}

QString KeyLengthMessage(int validKey, int keyType, int keySize)
{
    const QString position = kPositions[validKey];
    // The device's users know this one wording with its typo.
    if (keyType == 1 && keySize == 2)
        return QString("The Lengh of the %1 key in IEEE802.11g must be 16!").arg(position);
    return QString("The Length of the %1 key in IEEE802.11g must be %2!").arg(position).arg(KeyLength(keyType, keySize));
}

QString AsciiToHex(const QString& key)
{
    // A character beyond ASCII becomes the digits of its UTF-8 bytes, cut like the rest.
    const QString hex = QString::fromLatin1(key.toUtf8().toHex());
    return hex.left(2 * key.size());
}

bool IsMasked(const QString& key)
{
    for (QChar c : key)
        if (c != '*')
            return false;
    return true;
}

bool IsHex(const QString& key)
{
    for (QChar c : key)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace SecurityRules
