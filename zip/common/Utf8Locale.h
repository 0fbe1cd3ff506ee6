#pragma once
// libarchive converts names through the thread's locale: without a UTF-8 one, names lose
// their UTF-8 flag when written and non-ASCII names are mangled when read. A run holds this
// guard for its whole length; the caller's locale comes back afterwards.
#include <clocale>
#include <locale.h>

namespace cw::zip {

class Utf8Locale {
public:
    Utf8Locale() {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            loc_ = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
            if (loc_)
                break;
        }
        if (loc_)
            old_ = uselocale(loc_);
    }
    ~Utf8Locale() {
        if (loc_) {
            uselocale(old_);
            freelocale(loc_);
        }
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    locale_t loc_ = static_cast<locale_t>(nullptr);
    locale_t old_ = static_cast<locale_t>(nullptr);
};

} // namespace cw::zip
