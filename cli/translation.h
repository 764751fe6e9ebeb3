// tarvoconv's messages in the user's language. Where the C library has
// gettext, its catalogues in share/locale, with the usual LANGUAGE and
// LC_MESSAGES rules; on Windows the same catalogues, built into the program,
// in the Windows display language. Without a catalogue the English text
// itself is the message.
#pragma once

#include <string>

// Once, at the program's start. Until then (and in tests that run tarvoconv
// in-process) every message is English.
void UseUserLanguage();

const char* Translate(const char* message);

// The form of a message for count: singular or plural in English, one of
// three forms in Russian and Ukrainian.
const char* TranslatePlural(const char* singular, const char* plural, unsigned long count);

// strerror's text in the user's language: the C library of Windows has
// only English ones, which tarvoconv's catalogues translate.
const char* ErrorText(int error);

// A count as TranslatePlural takes it: one too large keeps its last digits,
// which decide the form, and is never 1.
inline unsigned long PluralCount(unsigned long long count)
{
    return count <= 0xFFFFFFFFu ? static_cast<unsigned long>(count) : static_cast<unsigned long>(count % 1000000 + 1000000);
}

// printf into a string, for messages whose words the translation may put in
// another order around the values.
std::string Format(const char* pattern, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The marks that xgettext looks for: _ translates, N_ only marks a text that
// is translated where it is used, Plural translates one of two forms.
#define _(message) Translate(message)
#define N_(message) message
#define Plural(singular, plural, count) TranslatePlural(singular, plural, count)
