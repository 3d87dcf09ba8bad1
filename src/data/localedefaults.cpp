#include "data/localedefaults.h"

#include "data/text.h"

#include <cctype>
#include <clocale>
#include <langinfo.h>
#include <locale.h>

namespace quillory {

bool isMonthFirstDatePattern(std::string_view pattern)
{
    // Find the first of day, month and year. strftime patterns spell them %d
    // %e %m %b %y %Y; Qt's use runs of d, M and y.
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            c = pattern[++i];
            if (c == 'm' || c == 'b' || c == 'B' || c == 'h')
                return true;
            if (c == 'd' || c == 'e' || c == 'y' || c == 'Y' || c == 'F' || c == 'D')
                return c == 'D'; // %D is %m/%d/%y
            continue;
        }
        if (c == 'M')
            return true;
        if (c == 'd' || c == 'y')
            return false;
    }
    return true;
}

std::string currencyFromCrncystr(std::string_view crncystr)
{
    if (crncystr.size() < 2)
        return {};
    return std::string(crncystr.substr(1));
}

LocaleDefaults systemLocaleDefaults()
{
    LocaleDefaults defaults;
    locale_t loc = ::newlocale(LC_MONETARY_MASK | LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        return defaults;
    const std::string symbol = currencyFromCrncystr(::nl_langinfo_l(CRNCYSTR, loc));
    if (!symbol.empty())
        defaults.currencySymbol = symbol;
    defaults.americanDates = isMonthFirstDatePattern(::nl_langinfo_l(D_FMT, loc));
    ::freelocale(loc);
    return defaults;
}

SettingsRecord defaultSettings(const LocaleDefaults& locale)
{
    SettingsRecord r{};
    setFieldText(r.companyName, "<Your Company Name>");
    setFieldText(r.companyAddress, "<Your Company's Address>");
    setFieldText(r.invoiceText, "INVOICE#");
    setFieldText(r.nextInvoiceNumber, "9600001");
    setFieldText(r.footerNote, "This invoice has been compiled using Quillory.\r\nThank you for your prompt payment.");
    r.applySalesTax = 1;
    setFieldText(r.salesTaxText, "Sales Tax : ");
    r.salesTaxPercent = 6.0;
    r.showTips = 1;
    r.americanDates = locale.americanDates ? 1 : 0;
    setFieldText(r.monetarySymbol, locale.currencySymbol);
    return r;
}

} // namespace quillory
