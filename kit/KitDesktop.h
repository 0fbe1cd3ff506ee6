#pragma once
// cwkit's desktop: the shared desktop service, and the print dialog that only cwkit needs.
#include "common/widgets/QtDesktop.h"
#include "kit/PrinterService.h"

namespace kit {

class KitDesktop : public cw::QtDesktop, public PrinterService {
public:
    using cw::QtDesktop::QtDesktop;

    std::unique_ptr<QPrinter> choosePrinter(QWidget* owner, const PrintOptions& opts) override;
};

} // namespace kit
