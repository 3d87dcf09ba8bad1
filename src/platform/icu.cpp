#include "platform/icu.h"

#include <dlfcn.h>

#include <optional>

// The libraries of the ICU the program was built with, and its functions
// under the names that version gives them ("ucol_open_72").
#define QUILLORY_STRING2(x) #x
#define QUILLORY_STRING(x) QUILLORY_STRING2(x)
#define QUILLORY_ICU_LIBRARY(name) "lib" name ".so." QUILLORY_STRING(U_ICU_VERSION_MAJOR_NUM)

namespace quillory::icu {

namespace {

template <typename Function> bool find(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

std::optional<Functions> load()
{
    // Kept for the rest of the process: collators and formats live on.
    void* i18n = dlopen(QUILLORY_ICU_LIBRARY("icui18n"), RTLD_NOW | RTLD_LOCAL);
    if (!i18n)
        return std::nullopt;
    Functions f{};
    const bool all = find(i18n, QUILLORY_STRING(ucol_open), f.collatorOpen)
        && find(i18n, QUILLORY_STRING(ucol_close), f.collatorClose)
        && find(i18n, QUILLORY_STRING(ucol_setAttribute), f.collatorSetAttribute)
        && find(i18n, QUILLORY_STRING(ucol_strcoll), f.collatorCompare)
        && find(i18n, QUILLORY_STRING(ucol_getSortKey), f.collatorSortKey)
        && find(i18n, QUILLORY_STRING(udat_open), f.dateOpen) && find(i18n, QUILLORY_STRING(udat_close), f.dateClose)
        && find(i18n, QUILLORY_STRING(udat_toPattern), f.dateToPattern)
        && find(i18n, QUILLORY_STRING(udat_applyPattern), f.dateApplyPattern)
        && find(i18n, QUILLORY_STRING(udat_format), f.dateFormat)
        && find(i18n, QUILLORY_STRING(udat_getLocaleByType), f.dateLocale);
    if (!all)
        return std::nullopt;
    return f;
}

} // namespace

const Functions* functions()
{
    static const std::optional<Functions> loaded = load();
    return loaded ? &*loaded : nullptr;
}

} // namespace quillory::icu
