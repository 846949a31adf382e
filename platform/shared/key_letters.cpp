// The fallback from a key to its letter; see key_letters.h.
#include "platform/shared/key_letters.h"

namespace {

bool isLatinLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

int characterFromKey(int typed, int keyLetter, bool shift, bool capsLock)
{
    if (isLatinLetter(typed) || keyLetter < 'A' || keyLetter > 'Z')
        return typed;
    return shift != capsLock ? keyLetter : keyLetter - 'A' + 'a';
}
