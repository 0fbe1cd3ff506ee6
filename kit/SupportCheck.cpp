#include "kit/SupportCheck.h"
#include "kit/KitConstants.h"

namespace kit {

bool isMakersNumber(const QString& text) {
    bool hasAreaCode = false;
    for (const char* code : kMakerAreaCodes)
        hasAreaCode = hasAreaCode || text.contains(QLatin1String(code), Qt::CaseInsensitive);
    if (!hasAreaCode)
        return false;
    for (const char* number : kMakerLocalNumbers) {
        const QString digits = QLatin1String(number);
        const QString head = digits.left(3);
        const QString tail = digits.mid(3);
        for (const char* joint : {"-", "", " ", "."}) {
            if (text.contains(head + QLatin1String(joint) + tail, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

} // namespace kit
