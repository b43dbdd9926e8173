#pragma once

#include <QString>
#include <QStringList>

// The security rules of the wireless page that need no controls: key lengths, the kind of an
// authentication, the cipher choices, the key texts.
namespace SecurityRules {

inline const QStringList kKeyTypes = {"HEX", "ASCII"};
inline const QStringList kKeySizes = {"64 Bits", "128 Bits", "152 Bits"};
inline constexpr int kEnableIndex = 1;  // "Enable" in the encryption list

// The number of characters a key of that type (0 HEX, 1 ASCII) and size (0 64, 1 128,
// 2 152 bits) has; 0 when either is not chosen.
int KeyLength(int keyType, int keySize);
// The key size whose hexadecimal key has this length; -1 for none.
int KeySizeOfHexLength(int length);

enum class Kind { None, Wep, Dot1x, Eap, Psk };
// Of the authentication option row (0 "Open System" .. 9 "WPA-Auto-PSK"); None for -1.
Kind KindOf(int authRow);

// The pass-phrase ciphers offered, as blank-separated words: with the support flag the WDS
// modes take AES only ("Auto AES" with AP, "AES" without).
QString PskCiphers(bool supportFlag, const QString& shownMode);

// The warning for a valid key (0..3) of the wrong length.
QString KeyLengthMessage(int validKey, int keyType, int keySize);

// A key typed as ASCII, as the hexadecimal text the device takes: two lower-case digits per
// byte, cut to twice the number of characters.
QString AsciiToHex(const QString& key);
// The device's masked key: only "*" characters (it keeps the key when they are written back).
bool IsMasked(const QString& key);
bool IsHex(const QString& key);

} // namespace SecurityRules
