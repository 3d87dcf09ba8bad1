// The parts of ICU the program uses (collation, and the locale's long date
// for day labels), loaded the first time one is asked for. A command that
// sorts no names and shows no day loads nothing of it: ICU's libraries cost
// a command-line program more to load than most commands take to run.
// Where ICU cannot be loaded, callers fall back on what the core knows.
#pragma once

#include <unicode/ucol.h>
#include <unicode/udat.h>

namespace quillory::icu {

// ICU's functions, or nothing where its libraries cannot be loaded.
struct Functions {
    decltype(&ucol_open) collatorOpen;
    decltype(&ucol_close) collatorClose;
    decltype(&ucol_setAttribute) collatorSetAttribute;
    decltype(&ucol_strcoll) collatorCompare;
    decltype(&ucol_getSortKey) collatorSortKey;
    decltype(&udat_open) dateOpen;
    decltype(&udat_close) dateClose;
    decltype(&udat_toPattern) dateToPattern;
    decltype(&udat_applyPattern) dateApplyPattern;
    decltype(&udat_format) dateFormat;
    decltype(&udat_getLocaleByType) dateLocale;
};
const Functions* functions();

} // namespace quillory::icu
