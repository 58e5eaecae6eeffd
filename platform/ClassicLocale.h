#pragma once

namespace platform {

// While it lives, the calling thread classifies and case-folds bytes (isspace, isalpha,
// tolower) as the "C" locale does, whatever locale the program chose: a graphical program
// takes the user's, whose single-byte code page may class bytes above 127 as spaces or fold
// them to ASCII letters (0xDD, a capital I with a dot in ISO-8859-9, folds to 'i'). A parser
// built on those functions then reads a file the same way for every user. Other threads are
// not affected.
class ClassicLocale
{
public:
    ClassicLocale();
    ~ClassicLocale();
    ClassicLocale(const ClassicLocale&) = delete;
    ClassicLocale& operator=(const ClassicLocale&) = delete;

private:
    void* m_previous = nullptr; // the thread's locale before, a locale_t
};

} // namespace platform
