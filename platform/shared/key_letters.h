// The character a key gives the program when the keyboard layout types no
// Latin letter with it.
//
// The element commands are Latin letters (L, t, T). A Cyrillic or Greek
// layout types other letters on the same keys, so when the typed character
// is no Latin letter, the backends take the letter from the key itself: the
// letter printed on it in the US layout, in the case Shift and Caps Lock
// give it, as a Latin layout would type it.
#pragma once

// `typed` is the character the layout typed (0 when it typed none);
// `keyLetter` is the key's own letter, 'A' to 'Z', or 0 when the key is no
// letter key. Returns the character to hand on: `typed` when it is a Latin
// letter or the key is no letter key, else the key's letter.
int characterFromKey(int typed, int keyLetter, bool shift, bool capsLock);
